#!/usr/bin/env python3
"""Writes the sample books folders of the host stand-in.

The corporate chart of accounts is hand-written in midori/accounts.csv; this
script copies it (or a variant) to the other books and writes each book's
company.csv, opening.csv and journal.csv from a seeded simulation of a farm
year, so the output is the same on every run. Run it from anywhere:

    python3 data/books/generate.py

and commit the CSV files it writes.
"""

import csv
import datetime
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def read_chart(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


CHART_COLUMNS = ["code", "number", "name", "display_name", "side", "class", "hidden"]


def individual_chart(chart):
    """A sole proprietor: capital accounts of an owner, no corporate tax."""
    out = []
    for row in chart:
        row = dict(row)
        if row["class"] == "net_assets":
            continue
        if row["class"] == "income_tax":
            continue
        if row["name"] == "役員報酬":
            row["name"] = row["display_name"] = "専従者給与"
        out.append(row)
        if row["code"] == "211":
            out += [
                {"code": "301", "number": "3000", "name": "元入金", "display_name": "元入金",
                 "side": "credit", "class": "net_assets", "hidden": "0"},
                {"code": "302", "number": "3100", "name": "事業主貸", "display_name": "事業主貸",
                 "side": "debit", "class": "net_assets", "hidden": "0"},
                {"code": "303", "number": "3200", "name": "事業主借", "display_name": "事業主借",
                 "side": "credit", "class": "net_assets", "hidden": "0"},
            ]
    return out


class Book:
    def __init__(self, folder, name, start, end, form, net_assets, data_id, chart, seed, scale):
        self.folder = folder
        self.name = name
        self.start = start
        self.end = end
        self.form = form
        self.net_assets = net_assets
        self.data_id = data_id
        self.chart = chart
        self.rng = random.Random(seed)
        self.scale = scale
        self.code = {}
        for row in chart:
            self.code.setdefault(row["display_name"], int(row["code"]))
        self.side = {int(r["code"]): r["side"] for r in chart}
        self.cls = {int(r["code"]): r["class"] for r in chart}
        self.entries = []
        self.opening = {}

    def has(self, account):
        return account in self.code

    def amount(self, base, spread=0.15):
        """A round amount near base × scale."""
        value = base * self.scale * (1 + self.rng.uniform(-spread, spread))
        step = 1000 if value >= 20000 else 100
        return max(step, int(round(value / step)) * step)

    def day(self, month_start, lo=1, hi=28):
        """A day within the month period that begins at month_start."""
        d = month_start + datetime.timedelta(days=self.rng.randint(lo, hi) - 1)
        return min(d, self.end)

    def add(self, date, debit, credit, amount, description="", settlement=0):
        if amount == 0:
            return
        assert self.start <= date <= self.end, (self.folder, date)
        self.entries.append((date, self.code[debit], self.code[credit], amount, settlement,
                             description))

    def months(self):
        """Start dates of the month periods of the fiscal year."""
        d = self.start
        out = []
        while d <= self.end:
            out.append(d)
            y, m = (d.year + 1, 1) if d.month == 12 else (d.year, d.month + 1)
            d = datetime.date(y, m, self.start.day)
        return out

    def set_opening(self, balances, plug):
        """Opening balances on each account's own side; plug balances them."""
        debit = credit = 0
        for account, value in balances.items():
            self.opening[self.code[account]] = value
        for code, value in self.opening.items():
            if self.side[code] == "debit":
                debit += value
            else:
                credit += value
        plug_code = self.code[plug]
        diff = debit - credit if self.side[plug_code] == "credit" else credit - debit
        self.opening[plug_code] = self.opening.get(plug_code, 0) + diff

    def write(self):
        path = os.path.join(HERE, self.folder)
        os.makedirs(path, exist_ok=True)

        def writer(name):
            f = open(os.path.join(path, name), "w", encoding="utf-8", newline="")
            return f, csv.writer(f, lineterminator="\n")

        f, w = writer("company.csv")
        w.writerow(["name", "fiscal_start", "fiscal_end", "management_form", "net_assets",
                    "data_id"])
        w.writerow([self.name, self.start.isoformat(), self.end.isoformat(), self.form,
                    self.net_assets, self.data_id])
        f.close()

        f, w = writer("accounts.csv")
        w.writerow(CHART_COLUMNS)
        for row in self.chart:
            w.writerow([row[c] for c in CHART_COLUMNS])
        f.close()

        f, w = writer("opening.csv")
        w.writerow(["code", "balance"])
        for code in sorted(self.opening):
            if self.opening[code]:
                w.writerow([code, self.opening[code]])
        f.close()

        f, w = writer("journal.csv")
        w.writerow(["date", "debit", "credit", "amount", "settlement", "description"])
        for e in sorted(self.entries, key=lambda e: (e[4], e[0])):
            w.writerow([e[0].isoformat(), e[1], e[2], e[3], e[4], e[5]])
        f.close()


# Share of the year's crop sales by calendar month: vegetables in summer,
# rice from the September harvest into winter.
CROP_SALES = {1: 5, 2: 3, 3: 3, 4: 2, 5: 3, 6: 6, 7: 9, 8: 9, 9: 14, 10: 20, 11: 16, 12: 10}
SEED_MONTHS = {3: 4, 4: 5, 5: 2, 6: 1}
FERTILISER_MONTHS = {3: 2, 4: 4, 5: 3, 6: 1, 8: 1}
PESTICIDE_MONTHS = {5: 2, 6: 3, 7: 3, 8: 2}
WAGE_WEIGHT = {1: 1, 2: 1, 3: 1, 4: 2, 5: 3, 6: 2, 7: 2, 8: 2, 9: 3, 10: 3, 11: 2, 12: 1}


def farm_year(b, corporation=True, first_year=False):
    """One fiscal year of a rice-and-vegetable farm."""
    months = b.months()
    last = b.end
    yearly_sales = 48_000_000
    owner_pay = "役員報酬" if b.has("役員報酬") else "専従者給与"

    if first_year:
        b.add(b.start, "普通預金", "資本金", b.amount(10_000_000, 0), "設立時出資")
        b.add(b.start, "普通預金", "長期借入金", b.amount(15_000_000, 0), "日本政策金融公庫　借入")
        b.add(b.day(b.start, 3, 10), "機械装置", "普通預金", b.amount(8_800_000, 0),
              "トラクター購入")
        b.add(b.day(b.start, 5, 15), "車両運搬具", "普通預金", b.amount(2_400_000, 0),
              "軽トラック購入")

    receivable = 0
    payable = 0
    for i, m in enumerate(months):
        cal = m.month
        # Collections of last month's sales and payment of last month's bills.
        if receivable:
            b.add(b.day(m, 8, 12), "普通預金", "売掛金", receivable, "ＪＡ精算金入金")
            receivable = 0
        if payable:
            b.add(b.day(m, 25, 27), "買掛金", "普通預金", payable, "ＪＡ購買代金支払")
            payable = 0

        sales = b.amount(yearly_sales * CROP_SALES[cal] / 100)
        b.add(b.day(m, 20, 28), "売掛金", "農産物売上高", sales, "ＪＡ出荷")
        receivable += sales
        b.add(b.day(m, 20, 28), "販売手数料", "売掛金", b.amount(sales * 0.05, 0.02),
              "ＪＡ販売手数料")
        receivable -= b.entries[-1][3]
        b.add(b.day(m, 20, 28), "荷造運賃", "普通預金", b.amount(sales * 0.03, 0.05),
              "出荷資材・運賃")
        if cal in (6, 7, 8, 11, 12):
            b.add(b.day(m, 10, 20), "普通預金", "加工品売上高", b.amount(600_000),
                  "直売所　加工品")
        if cal in (5, 9, 10):
            b.add(b.day(m, 25, 28), "普通預金", "作業受託収入",
                  b.amount(1_800_000 if cal != 5 else 1_200_000),
                  "田植受託" if cal == 5 else "稲刈受託")
        if cal in (12, 2):
            b.add(b.day(m, 15, 25), "普通預金", "価格補填収入", b.amount(900_000),
                  "野菜価格安定制度")

        if cal in SEED_MONTHS:
            b.add(b.day(m, 5, 15), "種苗費", "買掛金", b.amount(350_000 * SEED_MONTHS[cal]),
                  "種苗代")
            payable += b.entries[-1][3]
        if cal in FERTILISER_MONTHS:
            b.add(b.day(m, 5, 15), "肥料費", "買掛金",
                  b.amount(420_000 * FERTILISER_MONTHS[cal]), "肥料代")
            payable += b.entries[-1][3]
        if cal in PESTICIDE_MONTHS:
            b.add(b.day(m, 5, 15), "農薬費", "買掛金",
                  b.amount(380_000 * PESTICIDE_MONTHS[cal]), "農薬代")
            payable += b.entries[-1][3]
        if cal in (4, 5, 9):
            b.add(b.day(m), "諸材料費", "普通預金", b.amount(250_000), "育苗資材")
        b.add(b.day(m, 20, 27), "動力光熱費", "普通預金",
              b.amount(180_000 * (2 if cal in (5, 6, 7, 8, 9) else 1)), "燃料・電気代")
        b.add(b.day(m, 25, 25), "賃金手当", "普通預金", b.amount(260_000 * WAGE_WEIGHT[cal]),
              "パート賃金")
        b.add(b.day(m, 25, 25), "給料手当", "普通預金", b.amount(280_000, 0.02), "事務員給与")
        b.add(b.day(m, 25, 25), owner_pay, "普通預金", b.amount(350_000, 0), "")
        if corporation:
            b.add(b.day(m, 28, 28), "法定福利費", "普通預金", b.amount(95_000, 0.03),
                  "社会保険料")
        if cal in (9, 10):
            b.add(b.day(m, 15, 28), "作業委託費", "普通預金", b.amount(700_000),
                  "乾燥調製委託")
        if cal == 12:
            b.add(b.day(m, 10, 20), "地代賃借料", "普通預金", b.amount(2_600_000, 0.02),
                  "小作料")
        if cal in (3, 8):
            b.add(b.day(m), "修繕費（製造）", "普通預金", b.amount(320_000, 0.4),
                  "コンバイン修理" if cal == 8 else "田植機点検")
        if cal == 6:
            b.add(b.day(m), "農業共済掛金", "普通預金", b.amount(420_000, 0.02),
                  "水稲共済掛金")
        if cal in (4, 7):
            b.add(b.day(m), "小農具費", "普通預金", b.amount(90_000, 0.4), "小農具")

        b.add(b.day(m, 27, 27), "地代家賃", "普通預金", b.amount(60_000, 0), "事務所家賃")
        b.add(b.day(m, 20, 26), "通信費", "普通預金", b.amount(25_000, 0.1), "電話・通信")
        b.add(b.day(m, 20, 26), "水道光熱費", "普通預金", b.amount(30_000, 0.2), "")
        b.add(b.day(m), "消耗品費", "現金", b.amount(30_000, 0.5), "事務用品")
        if b.rng.random() < 0.4:
            b.add(b.day(m), "接待交際費", "現金", b.amount(40_000, 0.5), "取引先　会食")
        if b.rng.random() < 0.5:
            b.add(b.day(m), "旅費交通費", "現金", b.amount(20_000, 0.5), "出張")
        b.add(b.day(m, 1, 10), "支払手数料", "普通預金", b.amount(3_300, 0), "振込手数料")
        if cal in (4, 7, 12, 2):
            b.add(b.day(m), "租税公課", "普通預金", b.amount(150_000, 0.02), "固定資産税")
        if cal == 6:
            b.add(b.day(m), "保険料", "普通預金", b.amount(240_000, 0.05), "車両保険")
        if cal == 10:
            b.add(b.day(m), "広告宣伝費", "現金", b.amount(50_000, 0.3), "収穫祭チラシ")
        b.add(b.day(m, 1, 5), "現金", "普通預金", b.amount(100_000, 0), "小口現金補充")

        # Loan repayment with interest.
        b.add(b.day(m, 10, 10), "長期借入金", "普通預金", b.amount(150_000, 0), "公庫返済")
        b.add(b.day(m, 10, 10), "支払利息", "普通預金", b.amount(12_000, 0.2), "公庫利息")

        if cal == 1 and i > 0:
            b.add(b.day(m, 15, 25), "普通預金", "作付助成収入", b.amount(2_400_000),
                  "水田活用交付金")
        if cal == 11 and not first_year:
            b.add(b.day(m), "普通預金", "一般助成収入", b.amount(500_000), "経営所得安定対策")
        if cal == 3 and i > 0:
            b.add(b.day(m), "普通預金", "受取利息", b.amount(800, 0.5), "預金利息")

    if not first_year:
        # A new combine bought with a subsidy, booked down by the subsidy.
        buy = months[min(5, len(months) - 1)]
        b.add(b.day(buy, 5, 10), "機械装置", "普通預金", b.amount(12_000_000, 0), "コンバイン購入")
        b.add(b.day(buy, 15, 20), "普通預金", "国庫補助金収入", b.amount(4_000_000, 0),
              "強い農業づくり交付金")
        b.add(b.day(buy, 15, 20), "固定資産圧縮損", "機械装置", b.entries[-1][3], "圧縮記帳")
        b.add(b.day(months[-2], 5, 10), "普通預金", "固定資産売却益", b.amount(300_000, 0),
              "旧コンバイン売却")

    # Settlement period: depreciation, stock, accruals and taxes.
    b.add(last, "減価償却費（製造）", "減価償却累計額", b.amount(3_600_000, 0.05),
          "機械装置等　償却", settlement=1)
    b.add(last, "減価償却費（販管）", "減価償却累計額", b.amount(240_000, 0.05),
          "車両　償却", settlement=1)
    opening_stock = b.opening.get(b.code["農産物（製品）"], 0)
    if opening_stock:
        b.add(last, "期首製品棚卸高", "農産物（製品）", opening_stock, "期首在庫振替", settlement=1)
    b.add(last, "農産物（製品）", "期末製品棚卸高", b.amount(4_200_000, 0.1), "期末在庫",
          settlement=1)
    b.add(last, "賃金手当", "未払費用", b.amount(180_000, 0.1), "未払賃金", settlement=1)
    if corporation and b.has("法人税、住民税及び事業税"):
        b.add(last, "法人税、住民税及び事業税", "未払法人税等", b.amount(700_000, 0.3),
              "法人税等", settlement=1)


def standard_opening(b, stock=3_800_000):
    b.set_opening({
        "現金": 350_000,
        "普通預金": 9_200_000 * b.scale,
        "定期預金": 3_000_000,
        "売掛金": 2_400_000 * b.scale,
        "農産物（製品）": stock,
        "貯蔵品（肥料・農薬等）": 450_000,
        "建物": 6_500_000,
        "構築物": 1_800_000,
        "機械装置": 24_000_000,
        "車両運搬具": 3_200_000,
        "減価償却累計額": 16_400_000,
        "土地": 12_000_000,
        "出資金": 500_000,
        "買掛金": 1_300_000,
        "未払費用": 200_000,
        "未払法人税等": 600_000,
        "長期借入金": 21_000_000,
        "役員借入金": 3_000_000,
        "資本金": 10_000_000,
        "利益準備金": 500_000,
    } if b.has("資本金") else {
        "現金": 200_000,
        "普通預金": 4_500_000,
        "売掛金": 1_100_000,
        "農産物（製品）": stock,
        "機械装置": 9_000_000,
        "車両運搬具": 1_500_000,
        "減価償却累計額": 6_800_000,
        "土地": 5_000_000,
        "買掛金": 600_000,
        "長期借入金": 6_000_000,
    }, "繰越利益剰余金" if b.has("資本金") else "元入金")
    for code in list(b.opening):
        b.opening[code] = int(b.opening[code])


def individual_extras(b):
    for m in b.months():
        b.add(b.day(m, 25, 28), "事業主貸", "普通預金", b.amount(200_000, 0), "生活費")
    b.add(b.day(b.months()[3]), "普通預金", "事業主借", b.amount(300_000, 0), "家計から補填")


def main():
    corporate = read_chart(os.path.join(HERE, "midori", "accounts.csv"))
    D = datetime.date
    books = []

    b = Book("midori", "みどり農産株式会社", D(2024, 4, 1), D(2025, 3, 31), "corporation", 0,
             "00000001", corporate, 1, 1.0)
    standard_opening(b)
    farm_year(b)
    books.append(b)

    b = Book("aozora", "有限会社あおぞらファーム", D(2024, 1, 1), D(2024, 12, 31), "corporation",
             0, "00000002", corporate, 2, 0.6)
    standard_opening(b, 2_100_000)
    farm_year(b)
    books.append(b)

    b = Book("hatake", "株式会社はたけ", D(2024, 4, 1), D(2024, 12, 31), "corporation", 1,
             "00000003", corporate, 3, 0.5)
    farm_year(b, first_year=True)
    books.append(b)

    b = Book("yamada", "山田農園　山田太郎", D(2024, 1, 1), D(2024, 12, 31), "individual", 0,
             "00000004", individual_chart(corporate), 4, 0.4)
    standard_opening(b, 1_200_000)
    farm_year(b, corporation=False)
    individual_extras(b)
    books.append(b)

    b = Book("sakura", "株式会社さくらアグリ", D(2024, 4, 21), D(2025, 4, 20), "corporation", 1,
             "00000005", corporate, 5, 0.8)
    standard_opening(b, 2_600_000)
    farm_year(b)
    books.append(b)

    for n, (folder, name, start, end, scale) in enumerate([
            ("kp-tanaka", "田中農産株式会社", D(2024, 4, 1), D(2025, 3, 31), 0.7),
            ("kp-kitagawa", "農事組合法人北川営農", D(2024, 4, 1), D(2025, 3, 31), 1.3),
            ("kp-suzuki", "有限会社鈴木ファーム", D(2024, 1, 1), D(2024, 12, 31), 0.5)]):
        b = Book(folder, name, start, end, "corporation", 1, "1000000%d" % (n + 1), corporate,
                 10 + n, scale)
        standard_opening(b)
        farm_year(b)
        books.append(b)

    for b in books:
        b.write()


if __name__ == "__main__":
    main()
