#pragma once

#include <string>
#include <vector>

#include "core/app/geometry.h"

namespace vistrel::core {

// What start-up and shutdown ask of the window system for the main window. Each call that
// moves or sizes the window updates the model's frame before it returns.
class MainWindowHost {
public:
    virtual ~MainWindowHost() = default;
    virtual void SetMaximized() = 0;
    // The screens' available areas (without panels and docks), the primary screen first.
    virtual std::vector<Box> ScreenAreas() const = 0;
    virtual void SetLeft(Twips left) = 0;
    virtual void SetTop(Twips top) = 0;
    virtual void SetOuterHeight(Twips height) = 0;
    virtual void SetOuterWidth(Twips width) = 0;
    // Makes the window visible; the frame holds its shown size afterwards.
    virtual void ShowWindow() = 0;
    // Where the keyboard goes.
    enum class FocusTarget { Picture, FileList };
    virtual void Focus(FocusTarget target) = 0;
    // Closes About, full screen, Options, Print and Properties, in that order.
    virtual void CloseSecondaryWindows() = 0;
    // Ends the program at once; nothing more is written.
    virtual void Quit() = 0;
    // Pops a context menu up at the pointer with the named entries hidden.
    virtual void PopupMenu(const std::string& menu, const std::vector<std::string>& hidden) = 0;
    // Creates the full-screen window when needed and shows it.
    virtual void ShowFullScreenWindow() = 0;
    // Closes the full-screen window; the next use creates a fresh one.
    virtual void CloseFullScreenWindow() = 0;
    // Creates the Properties window when needed and shows it on top of the others, on the
    // application's dialog state.
    virtual void ShowPropertiesWindow() = 0;
    // Closes the Properties window; the next use creates a fresh one.
    virtual void ClosePropertiesWindow() = 0;
    // Creates the About window when needed, shows it without blocking the other windows and
    // brings it forward.
    virtual void ShowAboutWindow() = 0;
    virtual void CloseAboutWindow() = 0;
    // Creates the Options window when needed, shows it without blocking the other windows
    // and brings it forward, on the application's dialog state.
    virtual void ShowOptionsWindow() = 0;
    // Closes the Options window; the next use creates a fresh one.
    virtual void CloseOptionsWindow() = 0;
    // Creates the Print dialog when needed, shows it without blocking the other windows and
    // brings it forward.
    virtual void ShowPrintWindow() = 0;
    // Hides the Print dialog; it keeps its choices for the next Print.
    virtual void HidePrintWindow() = 0;
};

} // namespace vistrel::core
