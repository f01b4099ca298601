#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/app/application.h"
#include "core/app/numbers.h"
#include "fakes/fakeloader.h"
#include "fakes/memorysettings.h"
#include "fakes/platformfakes.h"
#include "fakes/tempfolder.h"

namespace vistrel::test {

using namespace vistrel::core;

// A window whose borders, caption and menu bar take 120 x 690 twips. Like the real one, it
// tells the application its frame after every change.
struct FakeHost : MainWindowHost {
    Application* app = nullptr;
    std::vector<std::string> calls;
    WindowFrame f; // as the window system has it
    void resized() {
        f.innerWidth = f.outerWidth - 120;
        f.innerHeight = f.outerHeight - 690;
        app->FrameChanged(f);
    }
    void resize(const std::string& call, Twips width, Twips height) {
        calls.push_back(call);
        f.outerWidth = width;
        f.outerHeight = height;
        resized();
    }
    std::vector<Box> screens{{0, 0, 19200, 12000}};
    std::vector<Box> ScreenAreas() const override { return screens; }
    void SetMaximized() override {
        f.state = WindowState::Maximized;
        resize("maximize", 19200, 12000);
    }
    void SetLeft(Twips v) override {
        calls.push_back("left " + FormatNumber(v));
        f.left = v;
        app->SetFrame(f);
    }
    void SetTop(Twips v) override {
        calls.push_back("top " + FormatNumber(v));
        f.top = v;
        app->SetFrame(f);
    }
    void SetOuterHeight(Twips v) override {
        resize("height " + FormatNumber(v), f.outerWidth, v);
    }
    void SetOuterWidth(Twips v) override {
        resize("width " + FormatNumber(v), v, f.outerHeight);
    }
    void ShowWindow() override { // the real window lays itself out when shown
        calls.push_back("show");
        resized();
    }
    void Focus(FocusTarget) override { calls.push_back("focus"); }
    void CloseSecondaryWindows() override { calls.push_back("close others"); }
    void Quit() override { calls.push_back("quit"); }
    void PopupMenu(const std::string& menu, const std::vector<std::string>&) override {
        calls.push_back("popup " + menu);
    }
    void ShowFullScreenWindow() override { calls.push_back("full screen"); }
    void CloseFullScreenWindow() override { calls.push_back("close full screen"); }
    void ShowPropertiesWindow() override { calls.push_back("properties"); }
    void ClosePropertiesWindow() override { calls.push_back("close properties"); }
    void ShowAboutWindow() override { calls.push_back("about"); }
    void CloseAboutWindow() override { calls.push_back("close about"); }
    void ShowOptionsWindow() override { calls.push_back("options"); }
    void CloseOptionsWindow() override { calls.push_back("close options"); }
    void ShowPrintWindow() override { calls.push_back("print"); }
    void HidePrintWindow() override { calls.push_back("hide print"); }
};

struct AppFixture : ::testing::Test {
    TempFolder program;
    TempFolder elsewhere;
    MemorySettings settings;
    FakeVolumes volumes;
    FakeHost host;
    FakeLoader loader;
    RecordingPump pump;
    FakeClock clock;
    ScriptedDialogs dialogs;
    ManualTimer timer;
    RecordingShell shell;
    MemoryClipboard clipboard;
    MemoryFileWriter fileWriter;
    FolderTrash trash;
    RecordingPrinters printers;
    std::unique_ptr<Application> app;

    void SetUp() override {
        for (const char* name : {"a.jpg", "b.bmp", "notes.txt"})
            program.file(name);
        elsewhere.file("c.gif");
    }
    Application& start(const std::string& startPath = {}) {
        Services services{settings,  volumes,    host,  loader,   pump,
                          clock,     dialogs,    timer, shell,    clipboard,
                          fileWriter, trash,     printers, program.path(), elsewhere.path(),
                          0x00C0C0C0};
        services.decodeThreads = -1; // decoded in turn on the build's thread, as the texts show
        app = std::make_unique<Application>(services);
        host.app = app.get();
        host.f = WindowFrame{};
        app->Start(startPath);
        return *app;
    }
    std::string panel(StatusBarState::Index i) { return app->Model().status.text(i); }
    // Clicks the pictures in the grid, the first plainly, the others with Shift.
    void select(std::initializer_list<int> cells) {
        bool first = true;
        for (int cell : cells) {
            if (!first) app->CellKey(Key::Shift, true);
            app->CellPress(cell, CellZone::Image, MouseButton::Left);
            app->CellRelease(cell, CellZone::Image, MouseButton::Left);
            if (!first) app->CellKey(Key::Shift, false);
            first = false;
        }
    }
};

} // namespace vistrel::test
