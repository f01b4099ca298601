#include <gtest/gtest.h>

#include <string>

#include "core/editing/colourpixel.h"
#include "core/editing/picturecommands.h"
#include "core/editing/wholepicture.h"
#include "fakes/bmpreader.h"
#include "fakes/pictures.h"
#include "fakes/rigs.h"

using namespace vistrel;
using core::Image;
using core::StatusBarState;
using test::Noise;

namespace {

const std::string kGrowQuestion =
    "Do you want to resize the canvas to fit the image?|Vistrel|" +
    std::to_string(int(core::MessageButtons::YesNo)) + "|" +
    std::to_string(int(core::MessageIcon::Critical));

// A 100 x 100 picture loaded from a.bmp, with the commands on it.
struct PictureRig : test::ViewerRig<> {
    test::ScriptedDialogs dialogs;
    test::MemoryClipboard clipboard;
    test::MemoryFileWriter writer;
    int zooms = 0;
    std::unique_ptr<core::PictureCommands> commands;

    PictureRig() {
        loader.pictures["a.bmp"] = {100, 100, 0xFF000000};
        settings.DisplayColour = 0x00336699; // 0x00BBGGRR
        open({"a.bmp"});
        load("a.bmp");
        current->ReplacePicture(Noise(100, 100, 3), false);
        commands = std::make_unique<core::PictureCommands>(
            *current, model.status, dialogs, clipboard, writer, settings, core::SystemColours{},
            [this] { ++zooms; });
    }
    const Image& picture() const { return current->picload(); }
};

} // namespace

TEST(Flips, MirrorOnceAndRestoreExactlyTwice) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 6}, {6, 1}, {5, 3}, {4, 4}, {7, 8}}) {
        const Image original = Noise(w, h, unsigned(w * 31 + h));
        Image horizontal = original, vertical = original;
        core::FlipHorizontal(horizontal);
        core::FlipVertical(vertical);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(horizontal.at(x, y), original.at(w - 1 - x, y)) << w << "x" << h;
                ASSERT_EQ(vertical.at(x, y), original.at(x, h - 1 - y)) << w << "x" << h;
            }
        core::FlipHorizontal(horizontal);
        core::FlipVertical(vertical);
        EXPECT_EQ(horizontal, original) << w << "x" << h;
        EXPECT_EQ(vertical, original) << w << "x" << h;
    }
}

TEST(PixelOfColour, PlainColoursSwapToPixelOrderAndSystemColoursResolve) {
    const core::SystemColours desktop = [](int index) { return index == 15 ? 0x202020 : -1; };
    struct Case { core::Colour colour; core::SystemColours system; Image::Pixel pixel; };
    const Case cases[] = {
        {0x00336699, {}, 0xFF996633},
        {0x7F336699, {}, 0xFF996633},            // stray high bits are not a channel
        {core::ButtonFaceColour, desktop, 0xFF202020},
        {core::ButtonFaceColour, {}, 0xFFF0F0F0}, // no desktop: the light scheme
        {static_cast<core::Colour>(0x80000005u), desktop, 0xFFFFFFFF}, // answered by a system colour
    };
    for (const Case& c : cases) EXPECT_EQ(core::PixelOfColour(c.colour, c.system), c.pixel);
}

TEST(PictureCommands, PasteCoversTheTopLeftAndGrowsOnlyTheShortSidesOnYes) {
    struct Case { int w, h; core::DialogAnswer answer; int grownW, grownH; bool asked; };
    const Case cases[] = {
        {200, 50, core::DialogAnswer::Yes, 200, 100, true},
        {200, 50, core::DialogAnswer::No, 100, 100, true},
        {50, 150, core::DialogAnswer::Yes, 100, 150, true},
        {30, 20, core::DialogAnswer::Yes, 100, 100, false},
    };
    for (const Case& c : cases) {
        PictureRig rig;
        const Image old = rig.picture();
        const Image pasted = Noise(c.w, c.h, 9);
        rig.clipboard.picture = pasted;
        rig.dialogs.answer = c.answer;
        ASSERT_FALSE(rig.commands->Paste());
        const Image& now = rig.picture();
        ASSERT_EQ(now.width(), c.grownW) << c.w << "x" << c.h;
        ASSERT_EQ(now.height(), c.grownH) << c.w << "x" << c.h;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x) {
                const Image::Pixel expected = x < c.w && y < c.h       ? pasted.at(x, y)
                                              : x < 100 && y < 100 ? old.at(x, y)
                                                                   : 0xFF996633;
                ASSERT_EQ(now.at(x, y), expected) << c.w << "x" << c.h << " at " << x << "," << y;
            }
        EXPECT_EQ(rig.dialogs.messages,
                  c.asked ? std::vector{kGrowQuestion} : std::vector<std::string>{});
        // The label follows only a grown canvas.
        const std::string size = std::to_string(c.grownW) + " x " + std::to_string(c.grownH);
        EXPECT_EQ(rig.current->PixelSizeText(), size + " Pixel");
        EXPECT_NE(rig.model.lblFileCaption.find(size), std::string::npos);
        EXPECT_EQ(rig.zooms, 1);
    }
}

TEST(PictureCommands, PasteRefusesAnEmptyClipboardAndACanvasTooLargeToHold) {
    PictureRig rig;
    const Image old = rig.picture();
    const auto revision = rig.current->PictureRevision();
    rig.commands->Paste();
    EXPECT_EQ(rig.model.status.text(StatusBarState::Status), "No image in clipboard to paste.");

    rig.clipboard.picture = Image(700000, 1); // with the picture's 100 rows: 280 MB
    rig.dialogs.answer = core::DialogAnswer::Yes;
    const auto failure = rig.commands->Paste();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("700000 x 100 pixels"), std::string::npos) << *failure;
    EXPECT_EQ(rig.picture(), old);
    EXPECT_EQ(rig.current->PictureRevision(), revision);
    EXPECT_EQ(rig.zooms, 0);
}

TEST(PictureCommands, SaveAsWritesTheEditedPictureUnderTheExactNameOrNothing) {
    PictureRig rig;
    rig.commands->FlipVertical();
    rig.dialogs.saveNames = {std::nullopt, "/pictures/flipped", "/full/disk.bmp"};
    EXPECT_FALSE(rig.commands->SaveAs()); // cancelled
    EXPECT_TRUE(rig.writer.files.empty());

    EXPECT_FALSE(rig.commands->SaveAs());
    EXPECT_EQ(rig.dialogs.saveDialogs[1], "Save As|Bitmap (*.bmp)|*.bmp");
    EXPECT_EQ(test::ReadBmp24(rig.writer.files["/pictures/flipped"]), rig.picture());

    rig.writer.failing["/full/disk.bmp"] = "No space left on device";
    EXPECT_EQ(rig.commands->SaveAs(), "No space left on device");
}

TEST(PictureCommands, NothingHappensWhileNoPictureIsShown) {
    PictureRig rig;
    rig.model.picMain.visible = false;
    const Image old = rig.picture();
    rig.clipboard.picture = Noise(300, 300, 1);
    rig.dialogs.answer = core::DialogAnswer::Yes;
    EXPECT_FALSE(rig.commands->FlipHorizontal());
    EXPECT_FALSE(rig.commands->FlipVertical());
    rig.commands->Copy();
    rig.commands->Paste();
    rig.commands->SaveAs();
    EXPECT_EQ(rig.picture(), old);
    EXPECT_EQ(rig.clipboard.picture->width(), 300);
    EXPECT_TRUE(rig.dialogs.messages.empty() && rig.dialogs.saveDialogs.empty());

    rig.model.picMain.visible = true;
    rig.commands->Copy();
    EXPECT_EQ(rig.clipboard.picture, old);
}
