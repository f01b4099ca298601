#pragma once

#include "core/platform/dialogs.h"

class QWidget;

namespace vistrel::qt {

// The program's modal dialogs, as Qt's standard ones.
class QtDialogs : public core::Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    core::DialogAnswer MessageBox(const std::string& text, const std::string& caption,
                                  core::MessageButtons buttons,
                                  core::MessageIcon icon) override;
    std::optional<std::string> SaveFileName(const std::string& title,
                                            const std::string& filter) override;
    std::optional<std::string> ChooseFolder(const std::string& title,
                                            const std::string& start) override;
    std::optional<std::string> InputText(const std::string& prompt, const std::string& title,
                                         const std::string& initial) override;
    std::optional<core::Colour> ChooseColour(core::Colour initial) override;

private:
    QWidget* m_parent;
};

} // namespace vistrel::qt
