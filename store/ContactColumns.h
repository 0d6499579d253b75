#pragma once

#include <QString>
#include <QStringList>

// Column names of the three contact tables, written once, and the widths
// their CHECKs allow. The address book and the file formats that carry
// contacts in and out both read and write these tables. The text lists are
// in the order every step handles them (and the order the tabs show them).
namespace ContactColumns {

inline const QString kPersonTable = QStringLiteral("pe_info");
inline const QString kUnitTable = QStringLiteral("pe_dw_info");
inline const QString kOtherTable = QStringLiteral("pe_other_info");

inline const QString kId = QStringLiteral("pe_id");
inline const QString kSex = QStringLiteral("pe_sex");
inline const QString kPhoto = QStringLiteral("pe_img");
inline const QString kEncoded = QStringLiteral("e_dec_yn");
inline const QString kOtherMemo = QStringLiteral("pe_other_memo");

// name, current address, mobile, other, home phone, postcode, identity
// number, registered address, online contact, remarks
inline const QStringList kPersonTexts = {
    QStringLiteral("pe_name"),  QStringLiteral("n_add"),   QStringLiteral("pe_mib"),  QStringLiteral("pe_other"),
    QStringLiteral("pe_h_tel"), QStringLiteral("post"),    QStringLiteral("pe_code"), QStringLiteral("code_add"),
    QStringLiteral("net_con"),  QStringLiteral("pe_memo"),
};
inline const QStringList kPersonCaptions = {
    QStringLiteral("姓名"),         QStringLiteral("现住地址"), QStringLiteral("手机"),     QStringLiteral("其它"),
    QStringLiteral("宅电"),         QStringLiteral("邮编"),     QStringLiteral("身份证号"), QStringLiteral("户籍地址"),
    QStringLiteral("网络联系方式"), QStringLiteral("备注"),
};
enum PersonText {
    Name,
    CurrentAddress,
    Mobile,
    Other,
    HomePhone,
    Postcode,
    IdentityNumber,
    RegisteredAddress,
    OnlineContact,
    Remarks,
    PersonTextCount
};

// name, address, telephone, fax, web address, notes
inline const QStringList kUnitTexts = {
    QStringLiteral("dw_name"), QStringLiteral("dw_add"), QStringLiteral("dw_tel"),
    QStringLiteral("dw_fax"),  QStringLiteral("dw_url"), QStringLiteral("pe_memo"),
};
inline const QStringList kUnitCaptions = {
    QStringLiteral("工作单位名称"), QStringLiteral("公司地址"),   QStringLiteral("办公室电话"),
    QStringLiteral("办公室传真"),   QStringLiteral("该单位网址"), QStringLiteral("说明"),
};
enum UnitText { UnitName, UnitAddress, UnitPhone, UnitFax, UnitUrl, UnitNotes, UnitTextCount };

// The most characters each text column holds (0: no limit); a longer value
// is refused whole by the table.
inline constexpr int kPersonWidths[PersonTextCount] = {50, 50, 50, 50, 50, 50, 50, 50, 50, 0};
inline constexpr int kUnitWidths[UnitTextCount] = {255, 255, 255, 255, 255, 0};

} // namespace ContactColumns
