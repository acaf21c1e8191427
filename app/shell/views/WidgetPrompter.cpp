#include "WidgetPrompter.h"

#include "HelpWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include <functional>

namespace verdan {

namespace {

// Hands Escape and the close box of a window to `handle` instead of the window's own
// reaction, while `active()` is true.
class EscapeOrCloseFilter : public QObject {
public:
    EscapeOrCloseFilter(QWidget& window, std::function<bool()> active, std::function<void()> handle)
        : QObject(&window), m_window(window), m_active(std::move(active)),
          m_handle(std::move(handle)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool escape = event->type() == QEvent::KeyPress &&
                            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (watched != &m_window || (!escape && event->type() != QEvent::Close) || !m_active())
            return QObject::eventFilter(watched, event);
        event->ignore();
        m_handle();
        return true;
    }

private:
    QWidget& m_window;
    std::function<bool()> m_active;
    std::function<void()> m_handle;
};

// Window managers cut a title that is wider than its window: a screen opens at least as wide
// as its caption in a bold title font, with room for the window's icon and buttons.
class TitleRoomFilter : public QObject {
public:
    explicit TitleRoomFilter(QDialog& dialog) : QObject(&dialog), m_dialog(dialog) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_dialog && event->type() == QEvent::Show) {
            constexpr int kDecorationPx = 150;
            QFont titleFont = m_dialog.font();
            titleFont.setBold(true);
            const int widthPx =
                QFontMetrics(titleFont).horizontalAdvance(m_dialog.windowTitle()) + kDecorationPx;
            if (m_dialog.width() < widthPx)
                m_dialog.resize(widthPx, m_dialog.height());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QDialog& m_dialog;
};

FileAnswer runFileDialog(QWidget* owner, const FileRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, request.caption, request.startFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                       : request.folder                ? QFileDialog::Directory
                                                       : QFileDialog::ExistingFile);
    // The program asks its own overwrite question where it needs one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
        dialog.selectNameFilter(request.filters.value(request.filterIndex));
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    FileAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.path = dialog.selectedFiles().constFirst();
    answer.filterIndex = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()));
    if (answer.filterIndex < 0)
        answer.filterIndex = request.filterIndex;
    return answer;
}

} // namespace

void bindDialogToModel(QDialog& dialog, ScreenModel& model) {
    dialog.setWindowTitle(model.caption());
    QObject::connect(&model, &ScreenModel::closing, &dialog, &QDialog::accept);
    QObject::connect(&model, &ScreenModel::changed, &dialog,
                     [&dialog, &model] { dialog.setWindowTitle(model.caption()); });
    // The close box and Escape ask the model instead of closing the dialog directly.
    dialog.installEventFilter(new EscapeOrCloseFilter(
        dialog, [&model] { return !model.closeRequested(); },
        [&model] { model.closeBoxClicked(); }));
    dialog.installEventFilter(new TitleRoomFilter(dialog));
}

MsgAnswer WidgetPrompter::message(const QString& text, const QString& title, MsgButtons buttons,
                                  MsgIcon icon) {
    QMessageBox box(m_owner);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // Escape and the close box answer with neither Yes nor No: the caller keeps things
        // as they are (a message box would otherwise take them for its No button).
        box.installEventFilter(new EscapeOrCloseFilter(
            box, [] { return true; }, [&box] { box.done(QMessageBox::Cancel); }));
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    QApplication::restoreOverrideCursor();
    switch (result) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

bool WidgetPrompter::input(const QString& prompt, const QString& title, QString& value) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_owner, title, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}

FileAnswer WidgetPrompter::saveFile(const FileRequest& request) {
    return runFileDialog(m_owner, request, QFileDialog::AcceptSave);
}

FileAnswer WidgetPrompter::openFile(const FileRequest& request) {
    return runFileDialog(m_owner, request, QFileDialog::AcceptOpen);
}

void WidgetPrompter::runModal(ScreenModel& screen) {
    QWidget* previousOwner = m_owner;
    QDialog* dialog = m_views.create(screen, m_owner);
    if (!dialog) {
        message(QStringLiteral("This screen is not available in this version: ") +
                    screen.screenName(),
                QStringLiteral("Verdan"), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    screen.resetCloseRequest();
    m_owner = dialog;
    // Modal screens run with the normal pointer even when opened from a busy run.
    const bool wasBusy = m_busyDepth > 0;
    if (wasBusy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    dialog->exec();
    if (wasBusy)
        QApplication::restoreOverrideCursor();
    m_owner = previousOwner;
    delete dialog;
    // A screen that closes right after a message of its own leaves no active window behind:
    // the keyboard goes back to the screen that opened it.
    if (previousOwner && previousOwner->isVisible())
        previousOwner->activateWindow();
}

void WidgetPrompter::showModeless(ScreenModel& screen, std::function<void()> closed) {
    QDialog* dialog = m_views.create(screen, m_owner);
    if (!dialog) {
        message(QStringLiteral("This screen is not available in this version: ") +
                    screen.screenName(),
                QStringLiteral("Verdan"), MsgButtons::Ok, MsgIcon::Warning);
        closed();
        return;
    }
    screen.resetCloseRequest();
    dialog->setModal(false);
    // The view goes first; `closed` may then unload the screen it showed.
    QObject::connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    QObject::connect(dialog, &QObject::destroyed, dialog, [closed = std::move(closed)] { closed(); });
    dialog->show();
}

void WidgetPrompter::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        if (--m_busyDepth == 0)
            QApplication::restoreOverrideCursor();
    }
}

void WidgetPrompter::showHelp(const QString& helpFile, int context) {
    HelpWindow window(helpFile, context, m_owner);
    window.exec();
}

bool WidgetPrompter::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool WidgetPrompter::startProgram(const QString& path) {
    return QProcess::startDetached(path, {});
}

} // namespace verdan
