#include "SmallBooks.h"

namespace smallbooks {

std::string Company() {
  return U8(
      u8"name,fiscal_start,fiscal_end,management_form,net_assets,data_id,alt_folder\n"
      u8"\"テスト農園, 株式会社\",2024-04-01,2025-03-31,corporation,1,T001,/srv/旧データ/\n");
}

std::string Accounts() {
  return U8(
      u8"code,number,name,display_name,side,class,hidden\n"
      u8"1,1000,現金,現金,debit,assets,0\n"
      u8"2,1110,売掛金,売掛金,debit,assets,0\n"
      u8"3,2010,買掛金,買掛金,credit,liabilities,0\n"
      u8"4,3000,資本金,資本金,credit,net_assets,0\n"
      u8"5,4000,農産物売上高,農産物売上高,credit,sales,0\n"
      u8"6,5110,肥料費,肥料費,debit,cost_of_sales,0\n"
      u8"7,6010,給料手当,給料手当,debit,sga,1\n");
}

std::string Opening() {
  return "code,balance\n"
         "1,500000\n"
         "2,200000\n"
         "3,100000\n"
         "4,600000\n";
}

// Sales 300000 (April 100000, March 200000 of which 50000 in the settlement
// period); fertiliser 80000 in May; wages 20000 in December.
std::string Journal() {
  return U8(
      u8"date,debit,credit,amount,settlement,description\n"
      u8"2024-04-10,2,5,100000,0,四月出荷\n"
      u8"2024-05-20,6,3,80000,0,\n"
      u8"2024-06-30,1,2,100000,0,入金\n"
      u8"2024-12-25,7,1,20000,0,\"賞与, 冬\"\n"
      u8"2025-03-15,2,5,150000,0,\"\"\"特選\"\" 米, 三月\"\n"
      u8"2025-03-31,2,5,50000,1,決算整理\n");
}

void WriteFolder(const TempFolder& tmp, const std::string& sub) {
  tmp.Write(sub + "/company.csv", Company());
  tmp.Write(sub + "/accounts.csv", Accounts());
  tmp.Write(sub + "/opening.csv", Opening());
  tmp.Write(sub + "/journal.csv", Journal());
}

}  // namespace smallbooks
