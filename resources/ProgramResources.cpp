#include "ProgramResources.h"

#include <array>

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kHeading = kChild | SS_LEFT | SS_SUNKEN | SS_CENTERIMAGE;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_LEFT;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kItemButton = kButton | BS_MULTILINE;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;
constexpr DWORD kPage = WS_CHILD | WS_CAPTION | DS_SETFONT;
constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

constexpr const char* kFont = "ＭＳ ゴシック";

using CK = ControlKind;

// 集計条件: company, fiscal period, aggregation span, output file.
constexpr std::array kPage1Items{
    DialogItem{IDC_STATIC, CK::Static, "事業所名", kLabel, 7, 6, 42, 12},
    DialogItem{IDC_STATIC, CK::Static, "：", kLabel, 51, 6, 11, 12},
    DialogItem{1001, CK::Static, "", kLabel, 67, 7, 161, 10},
    DialogItem{IDC_STATIC, CK::Static, "会計期間", kLabel, 7, 25, 42, 12},
    DialogItem{IDC_STATIC, CK::Static, "：", kLabel, 51, 25, 11, 12},
    DialogItem{1002, CK::Static, "", kLabel, 67, 26, 161, 10},
    DialogItem{IDC_STATIC, CK::Static, "集計期間", kLabel, 7, 44, 42, 12},
    DialogItem{IDC_STATIC, CK::Static, "：", kLabel, 51, 44, 11, 12},
    DialogItem{1010, CK::Edit, "", kEdit | WS_DISABLED, 67, 44, 18, 12},
    DialogItem{IDC_STATIC, CK::Static, "月度", kLabel, 90, 44, 22, 12},
    DialogItem{IDC_STATIC, CK::Static, "～", kLabel, 111, 44, 11, 12},
    DialogItem{1007, CK::Edit, "", kEdit, 131, 44, 18, 12},
    // The label stands after the field it names.
    DialogItem{IDC_STATIC, CK::Static, "月度(&E)", kLabel, 153, 44, 36, 12, 1007},
    DialogItem{1143, CK::GroupBox, "出力先(&F)", kGroup, 7, 67, 233, 33},
    DialogItem{1008, CK::Edit, "", kEdit | ES_AUTOHSCROLL, 12, 79, 168, 14},
    DialogItem{1009, CK::PushButton, "参照(&D)...", kButton, 184, 79, 50, 14},
    DialogItem{1006, CK::CheckBox, "税込みで集計する(&A)",
               WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX, 7, 132, 88, 10},
    DialogItem{IDC_STATIC, CK::Static, "事業種別(&J)", WS_CHILD | WS_DISABLED | SS_LEFT, 105, 132,
               45, 10},
    DialogItem{666, CK::ComboBox, "",
               WS_CHILD | WS_DISABLED | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 156, 131, 82,
               70},
};

// 主要科目: headings are statics, mappable items buttons; four narrow boxes
// carry vertical captions of one character per static (the first four of
// the first box are the one static 1012, too narrow for two characters).
constexpr std::array kPage2Items{
    DialogItem{1100, CK::Static, "売上高", kHeading, 10, 6, 111, 11},
    DialogItem{1101, CK::PushButton, "うち兼業売上高", kItemButton, 10, 20, 111, 15},
    DialogItem{1102, CK::Static, "売上原価", kHeading, 10, 37, 111, 11},
    DialogItem{1103, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 50, 89, 15},
    DialogItem{1104, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 66, 89, 15},
    DialogItem{1105, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 82, 89, 15},
    DialogItem{1106, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 98, 89, 15},
    DialogItem{1107, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 114, 89, 15},
    DialogItem{1108, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 130, 89, 15},
    DialogItem{1109, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 146, 89, 15},
    DialogItem{1110, CK::Static, "営業損益", kHeading, 10, 165, 111, 11},
    DialogItem{1111, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 179, 89, 15},
    DialogItem{1112, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 196, 89, 15},
    DialogItem{1113, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 213, 89, 15},
    DialogItem{1114, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 230, 89, 15},
    DialogItem{1115, CK::PushButton, "地代家賃・租税公課", kItemButton, 32, 247, 89, 15},
    DialogItem{1116, CK::Static, "営業損益", kHeading, 9, 267, 111, 11},
    DialogItem{1117, CK::PushButton, "うち兼業売上高", kItemButton, 9, 281, 111, 15},
    DialogItem{1118, CK::Static, "売上原価", kHeading, 9, 298, 111, 11},
    DialogItem{1119, CK::Static, "営業損益", kHeading, 127, 6, 111, 11},
    DialogItem{1120, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 20, 89, 15},
    DialogItem{1121, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 36, 89, 15},
    DialogItem{1122, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 51, 89, 15},
    DialogItem{1123, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 67, 89, 15},
    DialogItem{1124, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 83, 89, 15},
    DialogItem{1125, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 99, 89, 15},
    DialogItem{1126, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 115, 89, 15},
    DialogItem{1127, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 131, 89, 15},
    DialogItem{1128, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 147, 89, 15},
    DialogItem{1129, CK::Static, "営業損益", kHeading, 127, 165, 111, 11},
    DialogItem{1130, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 179, 89, 15},
    DialogItem{1131, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 196, 89, 15},
    DialogItem{1132, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 213, 89, 15},
    DialogItem{1133, CK::PushButton, "地代家賃・租税公課", kItemButton, 148, 230, 89, 15},
    DialogItem{1134, CK::Static, "資本の部", kHeading, 126, 249, 111, 11},
    // 売上原価のうち beside items 4 to 10.
    DialogItem{IDC_STATIC, CK::GroupBox, "", kGroup, 9, 45, 18, 117},
    DialogItem{1012, CK::Static, "売上原価", kLabel, 13, 68, 10, 40},
    DialogItem{IDC_STATIC, CK::Static, "の", kLabel, 13, 108, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "う", kLabel, 13, 118, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "ち", kLabel, 13, 128, 10, 10},
    // 販管費のうち beside items 12 to 16.
    DialogItem{IDC_STATIC, CK::GroupBox, "", kGroup, 9, 175, 18, 88},
    DialogItem{IDC_STATIC, CK::Static, "販", kLabel, 13, 189, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "管", kLabel, 13, 199, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "費", kLabel, 13, 209, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "の", kLabel, 13, 219, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "う", kLabel, 13, 229, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "ち", kLabel, 13, 239, 10, 10},
    // 資産のうち beside items 21 to 29.
    DialogItem{IDC_STATIC, CK::GroupBox, "", kGroup, 127, 16, 18, 148},
    DialogItem{IDC_STATIC, CK::Static, "資", kLabel, 131, 65, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "産", kLabel, 131, 75, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "の", kLabel, 131, 85, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "う", kLabel, 131, 95, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "ち", kLabel, 131, 105, 10, 10},
    // 負債のうち beside items 31 to 34.
    DialogItem{IDC_STATIC, CK::GroupBox, "", kGroup, 127, 174, 18, 71},
    DialogItem{IDC_STATIC, CK::Static, "負", kLabel, 131, 184, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "債", kLabel, 131, 194, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "の", kLabel, 131, 204, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "う", kLabel, 131, 214, 10, 10},
    DialogItem{IDC_STATIC, CK::Static, "ち", kLabel, 131, 224, 10, 10},
};

// 月別売上等: the eight monthly items, top to bottom.
constexpr std::array kPage3Items{
    DialogItem{1136, CK::PushButton, "うち兼業売上高", kItemButton, 15, 20, 103, 15},
    DialogItem{1138, CK::PushButton, "うち兼業売上高", kItemButton, 15, 48, 103, 15},
    DialogItem{1140, CK::PushButton, "うち兼業売上高", kItemButton, 15, 76, 103, 15},
    DialogItem{1135, CK::PushButton, "うち兼業売上高", kItemButton, 15, 104, 103, 15},
    DialogItem{1137, CK::PushButton, "うち兼業売上高", kItemButton, 15, 132, 103, 15},
    DialogItem{1139, CK::PushButton, "うち兼業売上高", kItemButton, 15, 160, 103, 15},
    DialogItem{1141, CK::PushButton, "うち兼業売上高", kItemButton, 15, 188, 103, 15},
    DialogItem{1142, CK::PushButton, "うち兼業売上高", kItemButton, 15, 216, 103, 15},
};

// 集約科目対応設定: the accounts that feed one report item.
constexpr std::array kMapItems{
    DialogItem{1014, CK::Static, "", kHeading, 8, 4, 137, 12},
    DialogItem{1017, CK::ListView, "", kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT, 8, 25, 138,
               111},
    DialogItem{1026, CK::CheckBox, "全ての科目から選択する(&A)",
               kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 141, 111, 10},
    DialogItem{1000, CK::PushButton, "設定(F8)", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 15, 156,
               59, 14},
    DialogItem{IDCANCEL, CK::PushButton, "ｷｬﾝｾﾙ(ESC)", kButton, 79, 156, 59, 14},
};

constexpr std::array kTemplates{
    DialogTemplate{IDD_SETGAI_P1, nullptr, "集計条件", kFont, 9, 249, 284, kPage, kPage1Items},
    DialogTemplate{IDD_SETGAI_P2, nullptr, "主要科目", kFont, 9, 247, 317, kPage, kPage2Items},
    DialogTemplate{IDD_SETGAI_P3, nullptr, "月別売上等", kFont, 9, 249, 284, kPage, kPage3Items},
    // Resizable: its list grows with the window, so long names find room.
    DialogTemplate{IDD_SETGAI_DLG, "map", "集約科目対応設定", kFont, 9, 154, 177,
                   kModal | WS_THICKFRAME, kMapItems},
};

constexpr std::array kStrings{
    StringResource{100, "RX16"},
    StringResource{101, "1"},
    StringResource{102, "1"},
    StringResource{103, "10.00.00"},
};

}  // namespace

void RegisterProgramResources() {
  RegisterDialogTemplates(kTemplates);
  RegisterStringResources(kStrings);
}

std::span<const DialogTemplate> ProgramDialogTemplates() { return kTemplates; }

std::span<const StringResource> ProgramStrings() { return kStrings; }
