#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/editing/colourpixel.h"
#include "core/editing/picturecommands.h"
#include "core/editing/wholepicture.h"
#include "fakes/bmpreader.h"
#include "fakes/rigs.h"

using namespace vistrel;
using core::Image;
using core::StatusBarState;

namespace {

Image Noise(int w, int h, unsigned seed) {
    std::mt19937 engine(seed);
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.at(x, y) = 0xFF000000u | (engine() & 0xFFFFFF);
    return image;
}

// Whether every pixel of the w x h block at (left, top) of `image` is `source`'s pixel at
// the same offset from (sx, sy).
bool BlockIs(const Image& image, int left, int top, int w, int h, const Image& source,
             int sx = 0, int sy = 0) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (image.at(left + x, top + y) != source.at(sx + x, sy + y)) return false;
    return true;
}

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

TEST(PictureCommands, PasteWiderAndYesGrowsOnlyTheShortSidesInTheBackgroundColour) {
    PictureRig rig;
    const Image old = rig.picture();
    const Image pasted = Noise(200, 50, 9);
    rig.clipboard.picture = pasted;
    rig.dialogs.answer = core::DialogAnswer::Yes;
    ASSERT_FALSE(rig.commands->Paste());

    EXPECT_EQ(rig.dialogs.messages, std::vector{kGrowQuestion});
    const Image& now = rig.picture();
    ASSERT_EQ(now.width(), 200);
    ASSERT_EQ(now.height(), 100);
    EXPECT_TRUE(BlockIs(now, 0, 0, 200, 50, pasted));
    EXPECT_TRUE(BlockIs(now, 0, 50, 100, 50, old, 0, 50));
    EXPECT_TRUE(BlockIs(now, 100, 50, 100, 50, Image(100, 50, 0xFF996633)));
    EXPECT_EQ(rig.current->PixelSizeText(), "200 x 100 Pixel");
    EXPECT_NE(rig.model.lblFileCaption.find(" - 200 x 100 Pixel"), std::string::npos);
    EXPECT_EQ(rig.zooms, 1);
}

TEST(PictureCommands, PasteAnsweredNoOrSmallerKeepsTheCanvasAndCutsOff) {
    PictureRig rig;
    const Image old = rig.picture();
    const std::string label = rig.model.lblFileCaption;
    const Image wide = Noise(200, 50, 9);
    rig.clipboard.picture = wide;
    rig.dialogs.answer = core::DialogAnswer::No;
    rig.commands->Paste();
    EXPECT_EQ(rig.dialogs.messages, std::vector{kGrowQuestion});
    ASSERT_EQ(rig.picture().width(), 100);
    ASSERT_EQ(rig.picture().height(), 100);
    EXPECT_TRUE(BlockIs(rig.picture(), 0, 0, 100, 50, wide));
    EXPECT_TRUE(BlockIs(rig.picture(), 0, 50, 100, 50, old, 0, 50));
    EXPECT_EQ(rig.model.lblFileCaption, label);

    const Image small = Noise(30, 20, 4);
    const Image before = rig.picture();
    rig.clipboard.picture = small;
    rig.commands->Paste();
    EXPECT_EQ(rig.dialogs.messages.size(), 1u); // asks nothing
    EXPECT_TRUE(BlockIs(rig.picture(), 0, 0, 30, 20, small));
    EXPECT_TRUE(BlockIs(rig.picture(), 30, 0, 70, 100, before, 30, 0));
    EXPECT_TRUE(BlockIs(rig.picture(), 0, 20, 30, 80, before, 0, 20));
    EXPECT_EQ(rig.zooms, 2);
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
    ASSERT_EQ(rig.writer.files.count("/pictures/flipped"), 1u);
    EXPECT_EQ(test::ReadBmp24(rig.writer.files["/pictures/flipped"]), rig.picture());

    rig.writer.failing["/full/disk.bmp"] = "No space left on device";
    EXPECT_EQ(rig.commands->SaveAs(), "No space left on device");
    EXPECT_EQ(rig.writer.files.size(), 1u);
    EXPECT_EQ(rig.model.status.text(StatusBarState::Status), "Status"); // success says nothing
}

TEST(PictureCommands, NothingHappensWhileNoPictureIsShown) {
    PictureRig rig;
    rig.model.picMain.visible = false;
    const Image old = rig.picture();
    rig.clipboard.picture = Noise(300, 300, 1);
    rig.dialogs.answer = core::DialogAnswer::Yes;
    rig.dialogs.saveNames = {"/x.bmp"};
    EXPECT_FALSE(rig.commands->FlipHorizontal());
    EXPECT_FALSE(rig.commands->FlipVertical());
    rig.commands->Copy();
    rig.commands->Paste();
    rig.commands->SaveAs();
    EXPECT_EQ(rig.picture(), old);
    EXPECT_EQ(rig.clipboard.picture->width(), 300);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_TRUE(rig.dialogs.saveDialogs.empty());
    EXPECT_EQ(rig.zooms, 0);

    rig.model.picMain.visible = true;
    rig.commands->Copy();
    EXPECT_EQ(rig.clipboard.picture, old);
}
