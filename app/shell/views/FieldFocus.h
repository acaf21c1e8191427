#pragma once

#include <QString>

class QFocusEvent;

namespace verdan {

/// What a focus event on a field means to a form that checks each field when it is left.
struct FieldFocusStep {
    bool leave = false; ///< the field the form counted as focused is left: its check runs
    bool enter = false; ///< the event's field is entered: its text is selected
};

/// Focus that goes to a menu or to another window (a message box) and comes back is no
/// leaving. Focus that arrives at a field, whatever the way (a click, Tab, the window's
/// re-activation after a message), leaves the field the form counted as focused, if another
/// one, and enters the new field. `current` is the field the form counts as focused ("" for
/// none), `name` the field the event went to; `event` is a FocusIn or FocusOut event.
FieldFocusStep fieldFocusStep(const QString& current, const QString& name,
                              const QFocusEvent& event);

} // namespace verdan
