#include "formlayout.h"

#include "platform/inifile.h"

namespace Tax {
namespace {
const QString kChoiceSection = QStringLiteral("1099R");
const QString kChoiceKey = QStringLiteral("FormLayout");
const QString kLayoutSection = QStringLiteral("1099R Layout %1");
const QString kFormKey = QStringLiteral("Form");

constexpr int kUnitsPerOffset = 10; // an offset is in hundredths of an inch
constexpr int kMaxOffset = 1100;    // eleven inches: anything further is a typing error

QPoint pt(int x, int y) { return QPoint(x, y); }

// Reads "right,down" or "right"; false on anything else.
bool parseOffset(const QString &text, QPoint *out) {
    const QStringList parts = text.split(',');
    if (parts.size() > 2) return false;
    int v[2] = {0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || v[i] < -kMaxOffset || v[i] > kMaxOffset) return false;
    }
    *out = QPoint(v[0], v[1]) * kUnitsPerOffset;
    return true;
}
} // namespace

QString fieldKey(FormField field) {
    static const char *const names[FormFieldCount] = {
        "Payer", "PayerTIN", "RecipientTIN", "RecipientName", "RecipientAddress", "Account",
        "Gross", "Taxable",  "Tax",          "Code",          "Mark"};
    return QString::fromLatin1(names[int(field)]);
}

QString layoutSection(FormLayout layout) { return kLayoutSection.arg(int(layout)); }

FormGeometry formGeometry(FormLayout layout) {
    FormGeometry g;
    g.lineHeight = 167; // six lines to the inch, as the stationery's boxes are ruled
    if (layout == FormLayout::First) {
        // Gross and taxable 14 wide, the account number 12.
        g.at = {pt(400, 700),  pt(400, 1950),  pt(2300, 1950), pt(400, 2400),
                pt(400, 2800), pt(400, 3500),  pt(4000, 700),  pt(4000, 1100),
                pt(5700, 1950), pt(4100, 2750), pt(5400, 1450)};
        g.amountPicture = QStringLiteral("@n14.2");
        g.accountPicture = QStringLiteral("@n_12");
    } else {
        // Amounts 12 wide, the account number 14, on stationery with the boxes placed higher.
        g.at = {pt(300, 600),  pt(300, 1800),  pt(2100, 1800), pt(300, 2250),
                pt(300, 2600), pt(300, 3300),  pt(3900, 600),  pt(3900, 950),
                pt(5600, 1800), pt(3950, 2600), pt(5300, 1300)};
        g.amountPicture = QStringLiteral("@n12.2");
        g.accountPicture = QStringLiteral("@n_14");
    }
    return g;
}

void applyOffsets(const QString &iniPath, const QString &section, const QStringList &keys,
                  QPoint *points, QStringList *refused) {
    const IniFile ini(iniPath);
    auto offset = [&](const QString &key) {
        QPoint by;
        if (!ini.contains(section, key)) return by;
        const QString text = ini.value(section, key);
        if (text.trimmed().isEmpty()) return by;
        if (!parseOffset(text, &by) && refused)
            *refused << QStringLiteral("[%1] %2=%3").arg(section, key, text);
        return by;
    };
    const QPoint form = offset(kFormKey);
    for (int i = 0; i < keys.size(); ++i) points[i] += form + offset(keys[i]);
}

FormGeometry formGeometry(FormLayout layout, const QString &iniPath, QStringList *refused) {
    FormGeometry g = formGeometry(layout);
    QStringList keys;
    for (int i = 0; i < FormFieldCount; ++i) keys << fieldKey(FormField(i));
    applyOffsets(iniPath, layoutSection(layout), keys, g.at.data(), refused);
    return g;
}

FormLayout rememberedLayout(const QString &iniPath) {
    return IniFile::get(iniPath, kChoiceSection, kChoiceKey).trimmed() == QLatin1String("2")
               ? FormLayout::Second
               : FormLayout::First;
}

bool rememberLayout(const QString &iniPath, FormLayout layout) {
    return IniFile::put(iniPath, kChoiceSection, kChoiceKey, QString::number(int(layout)));
}

} // namespace Tax
