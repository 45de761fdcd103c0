#pragma once
// Where the fields of a 1099-R form land on the pre-printed stationery. Each of the two layouts
// has built-in positions; PENSION.INI can move the whole form and each field, so that a batch of
// forms that prints a little off can be fitted without a new program:
//
//   [1099R]
//   FormLayout=2          the layout printed last (1 or 2), offered first next time
//   [1099R Layout 1]      (and [1099R Layout 2])
//   Form=10,-5            the whole form 0.10 inch to the right and 0.05 inch up
//   Gross=0,3             box 1 a further 0.03 inch down
//
// An offset is "right,down" in hundredths of an inch (negative: left, up), at most 11 inches
// either way; "right" alone moves only across. Keys: Form, Payer, PayerTIN, RecipientTIN,
// RecipientName, RecipientAddress, Account, Gross, Taxable, Tax, Code, Mark.
#include "taxreports.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <array>

namespace Tax {

enum class FormField {
    Payer,            // the fund's name and its three address lines
    PayerTIN,         // the fund's federal identification number
    RecipientTIN,     // the member's SSN
    RecipientName,
    RecipientAddress, // the member's three address lines
    Account,
    Gross,            // box 1
    Taxable,          // box 2a
    Tax,              // box 4
    Code,             // box 7
    Mark,             // the fixed "X"
};
inline constexpr int FormFieldCount = int(FormField::Mark) + 1;

struct FormGeometry {
    // Top-left corner of each field, in page units (thousandths of an inch from the page corner).
    std::array<QPoint, FormFieldCount> at;
    int lineHeight = 0;      // between the lines of a block
    QString amountPicture;   // gross, taxable and tax
    QString accountPicture;

    QPoint operator[](FormField f) const { return at[size_t(f)]; }
};

// The built-in positions and widths of a layout.
FormGeometry formGeometry(FormLayout layout);
// The same moved by the offsets of PENSION.INI at `iniPath`. Offsets that cannot be read leave
// their field where it was and are listed in `refused` as "[section] key=value".
FormGeometry formGeometry(FormLayout layout, const QString &iniPath, QStringList *refused);

// Moves `points` (one per name in `keys`) by the offsets of `section` in PENSION.INI at
// `iniPath`: all of them by its "Form" key, each by its own. Offsets that cannot be read move
// nothing and are listed in `refused` as "[section] key=value". Any printed form's layout uses it.
void applyOffsets(const QString &iniPath, const QString &section, const QStringList &keys,
                  QPoint *points, QStringList *refused);

QString fieldKey(FormField field);
QString layoutSection(FormLayout layout);

// The layout chosen last (the first one when none was chosen or the value is unknown).
FormLayout rememberedLayout(const QString &iniPath);
bool rememberLayout(const QString &iniPath, FormLayout layout);

} // namespace Tax
