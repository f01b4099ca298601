#include "qt/platform/qtdialogs.h"

#include <QMessageBox>

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

} // namespace vistrel::qt
