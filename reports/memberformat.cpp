#include "memberformat.h"

#include "platform/picture.h"
#include "platform/text.h"

namespace {
const QString kSsnPicture = QStringLiteral("@P###-##-####P");
const QString kMaskedSsn = QStringLiteral("***-**-%1");
constexpr int kShownDigits = 4;
} // namespace

namespace MemberFormat {

QString listName(const MemberCU &mem) {
    const QString last = clip(mem.LASTNAME).trimmed(), first = clip(mem.FIRSTNAME).trimmed();
    if (first.isEmpty()) return last;
    if (last.isEmpty()) return first;
    return last + QStringLiteral(", ") + first;
}

QString mailName(const MemberCU &mem) {
    return (clip(mem.FIRSTNAME).trimmed() + ' ' + clip(mem.LASTNAME).trimmed()).trimmed();
}

QStringList addressLines(const MemberCU &mem) {
    return addressLines({mailName(mem), mem.ADDR1, mem.ADDR2}, mem.CITY, mem.STATE, mem.ZIP);
}

QStringList addressLines(const QStringList &lines, const QString &cityText, const QString &stateText,
                         const QString &zipText) {
    QStringList out;
    for (const QString &l : lines)
        if (!clip(l).trimmed().isEmpty()) out << clip(l).trimmed();
    const QString city = clip(cityText).trimmed(), state = clip(stateText).trimmed(),
                  zip = clip(zipText).trimmed();
    QString last = city;
    if (!city.isEmpty() && !state.isEmpty()) last += QStringLiteral(", ");
    last += state;
    if (!zip.isEmpty()) last += (last.isEmpty() ? QString() : QStringLiteral("  ")) + zip;
    if (!last.isEmpty()) out << last;
    return out;
}

QString ssn(const QString &ssnum, bool full) {
    QString digits;
    for (QChar c : ssnum)
        if (c.isDigit()) digits += c;
    if (digits.isEmpty()) return {};
    if (!full) return kMaskedSsn.arg(digits.right(kShownDigits));
    return digits.size() == 9 ? Picture::applyPattern(digits, kSsnPicture) : clip(ssnum).trimmed();
}

} // namespace MemberFormat
