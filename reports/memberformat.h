#pragma once
// How the reports show a member: the name, the mailing address without blank lines, the SSN
// masked to its last four digits unless the whole number is asked for.
#include "data/records.h"

#include <QString>
#include <QStringList>

namespace MemberFormat {
// "LAST, FIRST" (just the last name when there is no first name).
QString listName(const MemberCU &mem);
// "FIRST LAST", as an envelope or a label addresses the member.
QString mailName(const MemberCU &mem);
// The address block: the name, the street lines, "CITY, ST ZIP"; blank lines left out.
QStringList addressLines(const MemberCU &mem);
// Any address block (a local's, a contractor's): the lines given, "CITY, ST  ZIP" from the
// parts on file; blank lines and parts left out.
QStringList addressLines(const QStringList &lines, const QString &city, const QString &state,
                         const QString &zip);
// "***-**-1234", or the whole "123-45-6789" when `full`; blank when no SSN is on file.
QString ssn(const QString &ssnum, bool full);
} // namespace MemberFormat
