#include "qt/platform/qtdialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

#include "qt/platform/colours.h"
#include "qt/platform/pathtext.h"

namespace vistrel::qt {

using core::DialogAnswer;
using core::MessageButtons;

core::DialogAnswer QtDialogs::MessageBox(const std::string& text, const std::string& caption,
                                         core::MessageButtons buttons, core::MessageIcon icon) {
    QMessageBox box(m_parent);
    box.setObjectName("MessageBox");
    box.setText(QString::fromStdString(text));
    box.setWindowTitle(QString::fromStdString(caption.empty() ? "Vistrel" : caption));
    switch (icon) {
    case core::MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case core::MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case core::MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case core::MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case core::MessageIcon::None: break;
    }
    using SB = QMessageBox::StandardButton;
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case MessageButtons::OK: set = SB::Ok; break;
    case MessageButtons::OKCancel: set = SB::Ok | SB::Cancel; break;
    case MessageButtons::YesNo: set = SB::Yes | SB::No; break;
    case MessageButtons::YesNoCancel: set = SB::Yes | SB::No | SB::Cancel; break;
    case MessageButtons::RetryCancel: set = SB::Retry | SB::Cancel; break;
    case MessageButtons::AbortRetryIgnore: set = SB::Abort | SB::Retry | SB::Ignore; break;
    }
    box.setStandardButtons(set);
    switch (box.exec()) {
    case SB::Ok: return DialogAnswer::OK;
    case SB::Yes: return DialogAnswer::Yes;
    case SB::No: return DialogAnswer::No;
    case SB::Retry: return DialogAnswer::Retry;
    case SB::Abort: return DialogAnswer::Abort;
    case SB::Ignore: return DialogAnswer::Ignore;
    case SB::Cancel: return DialogAnswer::Cancel;
    default:
        // Closed without a button: Cancel where offered, else the last button.
        if (set & SB::Cancel) return DialogAnswer::Cancel;
        if (buttons == MessageButtons::YesNo) return DialogAnswer::No;
        if (buttons == MessageButtons::AbortRetryIgnore) return DialogAnswer::Ignore;
        return DialogAnswer::OK;
    }
}

std::optional<std::string> QtDialogs::SaveFileName(const std::string& title,
                                                   const std::string& filter) {
    // "Bitmap (*.bmp)|*.bmp" pairs become Qt's "Bitmap (*.bmp)" lines; the description
    // already names the patterns.
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i];
    // QFileDialog confirms an existing file itself and adds no extension.
    const QString name = QFileDialog::getSaveFileName(m_parent, QString::fromStdString(title),
                                                      QString(), filters.join(";;"));
    if (name.isEmpty()) return std::nullopt;
    return QFile::encodeName(name).toStdString();
}

std::optional<std::string> QtDialogs::ChooseFolder(const std::string& title,
                                                   const std::string& start) {
    const QString folder =
        QFileDialog::getExistingDirectory(m_parent, QString::fromStdString(title), PathText(start));
    if (folder.isEmpty()) return std::nullopt;
    return QFile::encodeName(folder).toStdString();
}

std::optional<std::string> QtDialogs::InputText(const std::string& prompt, const std::string& title,
                                                const std::string& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, QString::fromStdString(title),
                              QString::fromStdString(prompt), QLineEdit::Normal,
                              QString::fromStdString(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<core::Colour> QtDialogs::ChooseColour(core::Colour initial) {
    const QColor chosen = QColorDialog::getColor(ToQColor(initial, QPalette()), m_parent);
    if (!chosen.isValid()) return std::nullopt;
    return FromQColor(chosen);
}

} // namespace vistrel::qt
