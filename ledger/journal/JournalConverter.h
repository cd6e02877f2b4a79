#pragma once
// Turns the journal interchange CSV (仕訳日記帳, 25 columns, no header)
// into books lines of one debit account, one credit account and one amount.
//
// Columns: 識別フラグ, 伝票No, 決算, 取引日付, 借方勘定科目, 借方補助科目,
// 借方部門, 借方税区分, 借方金額, 借方税金額, 貸方勘定科目, 貸方補助科目,
// 貸方部門, 貸方税区分, 貸方金額, 貸方税金額, 摘要, 番号, 期日, タイプ,
// 生成元, 仕訳メモ, 付箋1, 付箋2, 調整 (the last nine may be left off).
// Flag 2000 is a one-line entry, 2111 a one-line voucher, 2110, 2100 and
// 2101 the first, middle and last lines of a voucher. A voucher balances;
// its lines share one date and one period. A line whose sides do not pair
// up goes through the clearing account 諸口, which nets to zero over each
// voucher. Amounts include tax: a side whose tax class says 税抜 and whose
// tax amount is not zero books the tax to 仮払消費税 (debit) or 仮受消費税
// (credit) and the rest to its account. A line with the same account on
// both sides (sub-accounts of one account, say) moves nothing and is left
// out, as are lines of amount 0.

#include <functional>
#include <string>
#include <vector>

#include "BooksData.h"
#include "InterchangeCsvReader.h"

class AccountNames;

class JournalConverter {
 public:
  struct Line {
    BooksData::Date m_date;
    int m_nDebit = 0;  // AccountNames numbers
    int m_nCredit = 0;
    long long m_nAmount = 0;
    bool m_bSettlement = false;
    std::string m_strDescription;  // CP932
    std::size_t m_nVoucher = 0;    // the voucher's place among the sound ones, from 1
  };
  using Sink = std::function<void(const Line&)>;

  // The accepted date forms: 20240401, 2024/4/1, 2024-04-01, R.06/04/01,
  // R06/4/1, H.31/4/30 (Reiwa, Heisei).
  static bool ParseDate(const std::string& strText, BooksData::Date& date);
  // Whole yen with an optional minus sign, at most BooksFolderReader::kAmountMax.
  static bool ParseAmount(const std::string& strText, long long& nAmount);

  JournalConverter(AccountNames& names, const BooksData::Date& start, const BooksData::Date& end);

  // Reads every record; the lines of each sound voucher go to sink. False
  // when any problem was found (m_arError, each naming file, line and field).
  bool Convert(InterchangeCsvReader& reader, const std::string& strFile, const Sink& sink);

  std::vector<std::string> m_arError;
  std::size_t m_nRecords = 0;
  std::size_t m_nVouchers = 0;

 private:
  struct Side {
    int m_nId = -1;  // -1: no account on this side
    long long m_nAmount = 0;
    long long m_nTax = 0;  // the part booked to the tax account; 0: none
  };
  struct Record {
    int m_nLine = 0;
    BooksData::Date m_date;
    bool m_bSettlement = false;
    Side m_debit, m_credit;
    std::string m_strDescription;
  };

  bool ReadRecord(const InterchangeCsvReader::Record& in, Record& out, int& nFlag);
  bool ReadSide(const InterchangeCsvReader::Record& in, std::size_t nFirst, Side& side);
  // A side's account and, split off, its tax account.
  struct Legs {
    int nCount = 0;
    int arId[2] = {};
    long long arAmount[2] = {};
  };
  void CloseVoucher(const Sink& sink);
  bool CheckVoucher(const std::vector<Record>& arLine);
  Legs SideLegs(const Side& side, const std::string& strTaxName, int nLine);
  void EmitRecord(const Record& r, const Sink& sink);
  void Emit(const Record& r, int nDebit, int nCredit, long long nAmount, const Sink& sink);
  void Error(int nLine, const char8_t* szField, const std::string& strText);
  void DropOpenVoucher();

  AccountNames& m_names;
  BooksData::Date m_start, m_end;
  std::string m_strFile;
  std::vector<Record> m_arVoucher;
  bool m_bOpen = false;    // a voucher begun by 2110 awaits its 2101
  bool m_bBroken = false;  // a line of the current voucher was refused
  std::size_t m_nSuppressed = 0;
};
