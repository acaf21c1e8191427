#pragma once

#include "ScreenModel.h"

#include <QDialog>
#include <QHash>
#include <functional>

namespace verdan {

/// Knows, for each screen name, how to build the dialog that shows a screen model.
class ViewRegistry {
public:
    using Factory = std::function<QDialog*(ScreenModel& model, QWidget* parent)>;

    void add(const QString& screenName, Factory factory) {
        m_factories.insert(screenName, std::move(factory));
    }
    /// A new dialog for `model`, or nullptr when no view is registered for its screen.
    QDialog* create(ScreenModel& model, QWidget* parent) const {
        const auto it = m_factories.constFind(model.screenName());
        return it == m_factories.cend() ? nullptr : (*it)(model, parent);
    }

private:
    QHash<QString, Factory> m_factories;
};

/// Ties a dialog to its screen model: the model's close request closes the dialog, and the
/// window's close box (or Escape, unless the dialog is a mode form) goes to the model, which
/// decides. The dialog opens wide enough to show its whole caption.
void bindDialogToModel(QDialog& dialog, ScreenModel& model);

/// Marks `dialog` as the window of a mode form: Escape, meant for a menu or a message, never
/// closes it; dialogs and pickers still close on Escape.
void markAsModeForm(QDialog& dialog);
/// True for a dialog marked by markAsModeForm().
bool isModeForm(const QDialog& dialog);

} // namespace verdan
