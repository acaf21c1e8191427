#pragma once

#include <QObject>
#include <QString>

namespace verdan {

/// Base of every screen model: the state of one screen's controls, kept under the controls'
/// names, and the screen's event handlers as methods. A view mirrors the model and forwards
/// the user's events to it; the model never touches a widget.
class ScreenModel : public QObject {
    Q_OBJECT
public:
    explicit ScreenModel(QObject* parent = nullptr) : QObject(parent) {}

    /// The screen's name ("frmVerdan", "FrmReport", ...), used by views and test scripts.
    virtual QString screenName() const = 0;

    /// The window caption.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption) {
        m_caption = caption;
        emit changed();
    }

    /// True once the screen asked to be closed (an OK or Close button); the modal loop ends.
    bool closeRequested() const { return m_closeRequested; }
    /// Reopening a screen that is kept loaded (hidden) clears the request.
    void resetCloseRequest() { m_closeRequested = false; }

    /// The user closed the window with its close box (or Escape). By default that closes the
    /// screen; screens for which the close box means something else override it.
    virtual void closeBoxClicked() { requestClose(); }

signals:
    /// Some control's state changed; views refresh from the model.
    void changed();
    /// The screen wants to be closed (hidden or unloaded by whoever opened it).
    void closing();

protected:
    void requestClose() {
        m_closeRequested = true;
        emit closing();
    }

private:
    QString m_caption;
    bool m_closeRequested = false;
};

} // namespace verdan
