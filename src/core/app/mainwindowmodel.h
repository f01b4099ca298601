#pragma once

#include <string>

#include "core/app/colour.h"
#include "core/app/geometry.h"
#include "core/app/statusbar.h"
#include "core/viewer/resizehandles.h"

namespace vistrel::core {

// The outer frame of the main window. Outer sizes include borders, caption and menu bar;
// inner sizes are the client area below the menu bar.
struct WindowFrame {
    Twips left = 0;
    Twips top = 0;
    Twips outerWidth = 9180;
    Twips outerHeight = 6360;
    Twips innerWidth = 9060;
    Twips innerHeight = 5670;
    WindowState state = WindowState::Normal;
};

struct ScrollBarState {
    int value = 0;
    int maximum = 0;
};

// Geometry and visible state of the main window's controls, in twips. Children are relative
// to their container. The qt layer places its widgets from this.
struct MainWindowModel {
    WindowFrame frame;

    Box coolBar{0, 0, 9060, 390};
    bool bandTools = true;   // band 2, tlbTools
    bool bandAddress = true; // band 3, txtAddress
    Box statusBar{0, 5295, 9060, 375};
    StatusBarState status;
    Box progressBar{0, 0, 3087, 315};

    Box picExplorer{0, 420, 1935, 6015};
    Box dlbList{0, 0, 1935, 315};
    Box drlList{0, 360, 1935, 2340};
    Box flbList{0, 2760, 1935, 3210};

    Box picFile{1977, 420, 2655, 315};
    Box lblFile{0, 0, 2655, 195};
    std::string lblFileCaption = "Image Information";
    Box picDisplay{1977, 760, 2655, 5610, true, 30};
    Box picMain{1440, 1440, 135, 135};

    Box picPreview{4700, 420, 4390, 5950, true, 30};
    Box picBack{0, 0, 4095, 1695};
    Box vScroll{4075, 0, 255, 5890};
    ScrollBarState vScrollState;
    Box picCase0{0, 0, 1575, 1575};
    Box lblFileName0{0, 0, 1575, 255};
    Box imgTemp{0, 0, 1295, 1120}; // largest thumbnail size
    Box txtAddress{0, 0, 2175, 315};

    Cursor cursor = Cursor::Default;
    ResizeHandleBoxes resizeHandles; // around picMain, in the pane's client area

    // Background colours from the settings: the viewing panes and the thumbnail pane.
    Colour displayColour = ButtonFaceColour;
    Colour thumbnailColour = ButtonFaceColour;
};

} // namespace vistrel::core
