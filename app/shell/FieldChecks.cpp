#include "FieldChecks.h"

#include "NumberFormat.h"

namespace verdan {

void SelectAllText(TextField& field) {
    field.selStart = 0;
    field.selLength = static_cast<int>(field.text.size());
}

bool CheckRange(Prompter& prompter, TextField& field, double minimum, double maximum,
                const QString& name) {
    const double number = numfmt::leadingNumber(field.text);
    if (minimum <= number && number <= maximum)
        return true;
    inform(prompter,
           QStringLiteral("Warning: Valid Range is ") + numfmt::generalNumber(minimum) +
               QStringLiteral(" <= ") + name + QStringLiteral(" <= ") +
               numfmt::generalNumber(maximum),
           name);
    if (!field.text.isEmpty())
        SelectAllText(field);
    return false;
}

bool WarnIfOutOfRange(Prompter& prompter, const QString& name, double number, double minimum,
                      double maximum) {
    if (number < minimum) {
        inform(prompter,
               QStringLiteral("Warning: Range ") + numfmt::generalNumber(minimum) +
                   QStringLiteral(" <= ") + name,
               name);
        return false;
    }
    if (number > maximum) {
        inform(prompter,
               QStringLiteral("Warning: Range ") + name + QStringLiteral(" <= ") +
                   numfmt::generalNumber(maximum),
               name);
        return false;
    }
    return true;
}

QString NormaliseNumberText(const QString& text) {
    return numfmt::generalNumber(numfmt::leadingNumber(text)).trimmed();
}

} // namespace verdan
