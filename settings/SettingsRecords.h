#pragma once
// The three settings records as they are exchanged with the settings files:
// packed, little-endian, CP932 texts zero-terminated inside their fields.
// Member comments give the label by which each field is known.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// G_CONDITION: what to aggregate and where the XML file goes.
struct _SG_CONDITION {
  char szDataId[41];           // データID
  std::int16_t nKikanFrom;     // 期間（始）: calendar month
  std::int16_t nKikanTo;       // 期間（終）: calendar month
  std::uint8_t nZeiShori;      // 税処理: 1 = tax-inclusive
  std::uint8_t nJigyoSyubetu;  // 事業種別: stored, never interpreted
  char szOutPath[256];         // 中間ファイル出力先
};

// G_MATCH: one host account feeding one report item.
struct _SG_MATCH {
  std::int16_t nGaiNo;     // 概況書科目番号: report item 1 to 43, 0 in the sentinel
  std::int16_t nBokiCode;  // 簿記科目コード: host account code
  std::uint8_t nTaisyaku;  // 貸借区分 of that account
};

// G_INIT_BODY: one report-item definition.
struct _SG_INIT_BODY {
  std::int16_t nGaiNo;     // 概況書科目番号
  char szGaiName[31];      // 概況書科目名
  std::uint8_t nTaisyaku;  // 貸借区分 of the item
  std::uint8_t nKubun;     // 区分: 12 or more marks a monthly item
  char szSeikaku[256];     // 科目性格: "ALL" or account numbers; else a formula item
  char szKeisan[256];      // 計算式
  char szTag[51];          // タグ: XML element name
};

#pragma pack(pop)

static_assert(sizeof(_SG_CONDITION) == 303);
static_assert(offsetof(_SG_CONDITION, szDataId) == 0);
static_assert(offsetof(_SG_CONDITION, nKikanFrom) == 41);
static_assert(offsetof(_SG_CONDITION, nKikanTo) == 43);
static_assert(offsetof(_SG_CONDITION, nZeiShori) == 45);
static_assert(offsetof(_SG_CONDITION, nJigyoSyubetu) == 46);
static_assert(offsetof(_SG_CONDITION, szOutPath) == 47);

static_assert(sizeof(_SG_MATCH) == 5);
static_assert(offsetof(_SG_MATCH, nGaiNo) == 0);
static_assert(offsetof(_SG_MATCH, nBokiCode) == 2);
static_assert(offsetof(_SG_MATCH, nTaisyaku) == 4);

static_assert(sizeof(_SG_INIT_BODY) == 598);
static_assert(offsetof(_SG_INIT_BODY, nGaiNo) == 0);
static_assert(offsetof(_SG_INIT_BODY, szGaiName) == 2);
static_assert(offsetof(_SG_INIT_BODY, nTaisyaku) == 33);
static_assert(offsetof(_SG_INIT_BODY, nKubun) == 34);
static_assert(offsetof(_SG_INIT_BODY, szSeikaku) == 35);
static_assert(offsetof(_SG_INIT_BODY, szKeisan) == 291);
static_assert(offsetof(_SG_INIT_BODY, szTag) == 547);

// Item numbers: 1 to 35 the main items, 36 to 43 the monthly items.
inline constexpr int SG_ITEM_COUNT = 43;
inline constexpr int SG_MAIN_ITEM_COUNT = 35;
inline constexpr std::uint8_t SG_MONTHLY_KUBUN = 12;
