#include "FieldFocus.h"

#include <QFocusEvent>

namespace verdan {

FieldFocusStep fieldFocusStep(const QString& current, const QString& name,
                              const QFocusEvent& event) {
    FieldFocusStep step;
    if (event.type() == QEvent::FocusIn) {
        step.enter = name != current;
        step.leave = step.enter && !current.isEmpty();
        return step;
    }
    const Qt::FocusReason reason = event.reason();
    const bool elsewhere = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
    step.leave = event.type() == QEvent::FocusOut && !elsewhere && name == current;
    return step;
}

} // namespace verdan
