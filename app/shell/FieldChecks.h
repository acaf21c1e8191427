#pragma once

#include "Prompter.h"

#include <QString>

namespace verdan {

/// The state of one text field as the screen models keep it: its text, its selection (what
/// the view selects) and whether it is shown.
struct TextField {
    QString text;
    QString toolTip;
    int selStart = 0;  ///< first selected character
    int selLength = 0; ///< number of selected characters
    bool visible = true;
};

/// A button or menu item: enabled and visible.
struct Command {
    bool enabled = true;
    bool visible = true;
};

/// Select on entry: selects the field's whole text (start 0, length = length of the text).
void SelectAllText(TextField& field);

/// Reads the field's number (leading-number rule). Within [minimum, maximum] (inclusive) it
/// returns true. Otherwise it shows "Warning: Valid Range is <min> <= <name> <= <max>" in an
/// information box titled `name`, selects the field's whole text when it is not empty and
/// returns false. The field's text is not changed.
bool CheckRange(Prompter& prompter, TextField& field, double minimum, double maximum,
                const QString& name);

/// Within [minimum, maximum] (inclusive) returns true without a message. Below the minimum it
/// shows "Warning: Range <min> <= <name>", above the maximum "Warning: Range <name> <= <max>",
/// in an information box titled `name`, and returns false.
bool WarnIfOutOfRange(Prompter& prompter, const QString& name, double number, double minimum,
                      double maximum);

/// The text's number (leading-number rule) in the general number format, without blanks:
/// "301.0" gives "301", "abc" gives "0", " 12abc" gives "12".
QString NormaliseNumberText(const QString& text);

} // namespace verdan
