#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app/statusbar.h"
#include "core/platform/clipboard.h"
#include "core/platform/clock.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/platform/wakesignal.h"
#include "core/platform/filewriter.h"
#include "core/platform/printers.h"
#include "core/platform/shell.h"
#include "core/platform/timer.h"
#include "core/platform/trash.h"
#include "core/platform/volumesource.h"

namespace vistrel::test {

struct FakeVolumes : core::VolumeSource {
    std::vector<core::Volume> list{{"/", "/", true}};
    std::vector<core::Volume> volumes() const override { return list; }
};

// Holds the interval; the test calls the tick itself.
struct ManualTimer : core::Timer {
    int ms = 0;
    void setInterval(int value) override { ms = value; }
    int interval() const override { return ms; }
};

// Readings follow the script, then go on by `step` each. random() walks a seeded Mersenne
// Twister: the same sequence on every run and every standard library.
struct FakeClock : core::Clock {
    std::vector<double> script;
    double step = 0;
    mutable std::size_t reading = 0;
    mutable double last = 0;
    std::mt19937 engine{20240611};
    std::chrono::system_clock::time_point now() const override { return {}; }
    double elapsedSeconds() const override {
        return last = reading < script.size() ? script[reading++] : last + step;
    }
    double random() override { return engine() / 4294967296.0; } // [0, 1)
};

// Records panel 3 (and the progress, on a repaint) each time the window would be painted.
// `pending` stands for whatever the window system delivers while the pump runs (a timer).
struct RecordingPump : core::EventPump {
    const core::StatusBarState* status = nullptr;
    bool throwOnRepaint = false;
    std::vector<std::string> painted;
    std::function<void()> pending;
    void processPendingEvents() override {
        painted.push_back("events " + panel3());
        if (pending) pending();
        runPosted();
    }
    void repaint() override {
        if (throwOnRepaint) throw std::runtime_error("paint failed");
        painted.push_back(panel3() + " @" + std::to_string(int(status ? status->progress : 0)));
        if (pending) pending();
    }
    // Paints as repaint() does when asked, then waits for a worker's wake as the event
    // loop would.
    void waitForEvents(int maxMilliseconds, bool repaintFirst) override {
        if (repaintFirst) repaint();
        else if (pending) pending();
        signal.Wait(maxMilliseconds);
        runPosted();
    }
    void wake() override { signal.Wake(); }
    // With `posting`, tasks from post() run at the next turn, as the event loop would.
    bool posting = false;
    bool posts() const override { return posting; }
    void post(std::function<void()> task) override {
        {
            std::lock_guard lock(postedMutex);
            posted.push_back(std::move(task));
        }
        signal.Wake();
    }
    void runPosted() {
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(postedMutex);
            tasks.swap(posted);
        }
        for (auto& task : tasks) task();
    }
    std::mutex postedMutex;
    std::vector<std::function<void()>> posted;
    core::WakeSignal signal;
    std::string panel3() const { return status ? status->text(core::StatusBarState::Status) : ""; }
};

// Answers every message box with `answer`; records "text|caption|buttons|icon".
struct ScriptedDialogs : core::Dialogs {
    core::DialogAnswer answer = core::DialogAnswer::OK;
    std::function<core::DialogAnswer()> answers; // when set, answers instead of `answer`
    std::vector<std::string> messages;
    core::DialogAnswer MessageBox(const std::string& text, const std::string& caption,
                                  core::MessageButtons buttons, core::MessageIcon icon) override {
        messages.push_back(text + "|" + caption + "|" + std::to_string(int(buttons)) + "|" +
                           std::to_string(int(icon)));
        return answers ? answers() : answer;
    }
    // Save dialog answers in order; an exhausted list cancels. Records "title|filter".
    std::vector<std::optional<std::string>> saveNames;
    std::vector<std::string> saveDialogs;
    std::optional<std::string> SaveFileName(const std::string& title,
                                            const std::string& filter) override {
        saveDialogs.push_back(title + "|" + filter);
        if (saveDialogs.size() > saveNames.size()) return std::nullopt;
        return saveNames[saveDialogs.size() - 1];
    }
    // Folder picker and text box answers in order; an exhausted list cancels. Record
    // "title|start" and "prompt|title|initial".
    std::vector<std::optional<std::string>> folders, texts;
    std::vector<std::string> folderDialogs, textDialogs;
    std::optional<std::string> ChooseFolder(const std::string& title,
                                            const std::string& start) override {
        folderDialogs.push_back(title + "|" + start);
        return next(folders, folderDialogs.size());
    }
    std::optional<std::string> InputText(const std::string& prompt, const std::string& title,
                                         const std::string& initial) override {
        textDialogs.push_back(prompt + "|" + title + "|" + initial);
        return next(texts, textDialogs.size());
    }
    template <typename T>
    static std::optional<T> next(const std::vector<std::optional<T>>& answers, std::size_t asked) {
        return asked <= answers.size() ? answers[asked - 1] : std::nullopt;
    }
    // Colour picker answers in order; an exhausted list cancels. Records the initial colours.
    std::vector<std::optional<core::Colour>> colours;
    std::vector<core::Colour> colourDialogs;
    std::optional<core::Colour> ChooseColour(core::Colour initial) override {
        colourDialogs.push_back(initial);
        if (colourDialogs.size() > colours.size()) return std::nullopt;
        return colours[colourDialogs.size() - 1];
    }
};

// Moves what it is given into `folder` (taken as the trash), keeping the name; without a
// folder the volume counts as having no trash.
struct FolderTrash : core::Trash {
    std::string folder;
    bool HasTrash(const std::string&) override { return !folder.empty(); }
    std::optional<std::string> MoveToTrash(const std::string& path) override {
        std::error_code error;
        const std::filesystem::path from(path);
        std::filesystem::rename(from, std::filesystem::path(folder) / from.filename(), error);
        if (error) return path + ": " + error.message();
        return std::nullopt;
    }
};

struct MemoryClipboard : core::Clipboard {
    std::optional<core::Image> picture;
    std::optional<core::Image> Picture() const override { return picture; }
    void SetPicture(const core::Image& p) override { picture = p; }
};

// Keeps written files in memory; a path in `failing` fails with that description.
struct MemoryFileWriter : core::FileWriter {
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::map<std::string, std::string> failing;
    std::optional<std::string> WriteWhole(const std::string& path,
                                          const std::vector<std::uint8_t>& bytes) override {
        if (auto f = failing.find(path); f != failing.end()) return f->second;
        files[path] = bytes;
        return std::nullopt;
    }
};

struct RecordingShell : core::Shell {
    std::vector<std::string> opened;
    void Open(const std::string& pathOrAddress) override { opened.push_back(pathOrAddress); }
};

// Printers that write nothing: each document records what was drawn, one text per call
// ("page", "picture 0 2000 1500x3000", "line 0 5000 a.jpg", "end", "abort"). The call
// numbered `failAt` (counted over the whole log from 1) fails.
struct RecordingPrinters : core::Printers {
    std::vector<std::string> names;
    std::string defaultName;
    core::Extent page{12000, 15000};
    core::Twips line = 300;
    std::vector<std::string> log;
    std::vector<core::PrintTarget> targets;
    std::size_t failAt = 0;

    struct Document : core::PrintDocument {
        RecordingPrinters& owner;
        explicit Document(RecordingPrinters& o) : owner(o) {}
        bool record(std::string entry) {
            owner.log.push_back(std::move(entry));
            return owner.log.size() != owner.failAt;
        }
        static std::string n(double v) { return std::to_string(static_cast<long long>(v)); }
        core::Extent PageSize() const override { return owner.page; }
        core::Twips LineHeight() const override { return owner.line; }
        bool NewPage() override { return record("page"); }
        bool DrawPicture(const core::Image&, const core::Box& b) override {
            return record("picture " + n(b.left) + " " + n(b.top) + " " + n(b.width) + "x" +
                          n(b.height));
        }
        bool DrawLine(const std::string& text, core::Twips left, core::Twips top) override {
            return record("line " + n(left) + " " + n(top) + " " + text);
        }
        bool End() override { return record("end"); }
        void Abort() override { owner.log.push_back("abort"); }
        std::string Error() const override { return "printer jammed"; }
    };

    std::vector<std::string> Names() const override { return names; }
    std::string DefaultName() const override { return defaultName; }
    std::unique_ptr<core::PrintDocument> Begin(const core::PrintTarget& target,
                                               std::string&) override {
        targets.push_back(target);
        return std::make_unique<Document>(*this);
    }
};

} // namespace vistrel::test
