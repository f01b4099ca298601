#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/printing/pageplacer.h"
#include "core/printing/printlayout.h"
#include "fakes/appfixture.h"

using namespace vistrel::core;
using namespace vistrel::test;

namespace {

using Lines = std::vector<std::string>;

std::string Show(const PrintItem& item) {
    const auto n = [](double v) { return std::to_string(static_cast<long long>(v)); };
    if (item.kind == PrintItem::Kind::Line)
        return "L" + n(item.page) + " " + n(item.box.top) + " " + item.text;
    return "P" + n(item.page) + " " + n(item.box.top) + " " + n(item.box.width) + "x" +
           n(item.box.height);
}

// A 12,000 x 15,000 twip printable area with 300-twip lines.
Lines Place(const std::vector<Extent>& pictures, bool names) {
    PagePlacer placer({12000, 15000}, 300);
    Lines shown;
    char name = 'a';
    for (const Extent& picture : pictures)
        for (const PrintItem& item :
             placer.Place(picture, names ? std::optional(std::string(1, name++)) : std::nullopt))
            shown.push_back(Show(item));
    return shown;
}

} // namespace

TEST(PagePlacer, PicturesStackWithTheirLinesAndBreakPages) {
    struct Case {
        const char* what;
        std::vector<Extent> pictures;
        bool names;
        Lines expected;
    };
    const Case cases[] = {
        {"three pictures, one below the other",
         {{1500, 2000}, {1500, 3000}, {1500, 1000}},
         false,
         {"P0 0 1500x2000", "L0 2000  ", "P0 2300 1500x3000", "L0 5300  ", "P0 5600 1500x1000",
          "L0 6600  "}},
        {"each followed by its name",
         {{1500, 2000}, {1500, 3000}},
         true,
         {"P0 0 1500x2000", "L0 2000  ", "L0 2300 a", "L0 2600  ", "P0 2900 1500x3000",
          "L0 5900  ", "L0 6200 b", "L0 6500  "}},
        {"a picture taller than the page shrinks to it; its name goes over",
         {{3000, 30000}},
         true,
         {"P0 0 1500x15000", "L1 0 a", "L1 300  "}},
        {"a picture wider than the page shrinks to its width",
         {{24000, 3000}},
         false,
         {"P0 0 12000x1500", "L0 1500  "}},
        {"a name that would not fit takes its picture to the next page",
         {{1500, 2000}, {1500, 11900}},
         true,
         {"P0 0 1500x2000", "L0 2000  ", "L0 2300 a", "L0 2600  ", "P1 0 1500x11900",
          "L1 11900  ", "L1 12200 b", "L1 12500  "}},
        {"without names the same picture stays",
         {{1500, 2000}, {1500, 11900}},
         false,
         {"P0 0 1500x2000", "L0 2000  ", "P0 2300 1500x11900", "L0 14200  "}},
        {"a picture that does not fit below starts a page",
         {{1500, 14000}, {1500, 2000}},
         false,
         {"P0 0 1500x14000", "L0 14000  ", "P1 0 1500x2000", "L1 2000  "}},
    };
    for (const Case& c : cases) EXPECT_EQ(Place(c.pictures, c.names), c.expected) << c.what;
}

TEST(PagePlacer, ALongRunFillsPagesWithNothingLostOrCut) {
    // 25 pictures of 2,000 twips run to 57,500 twips, far past what 16 bits can hold.
    PagePlacer placer({12000, 15000}, 300);
    std::vector<PrintItem> pictures;
    for (int i = 0; i < 25; ++i)
        for (const PrintItem& item : placer.Place({1500, 2000}, std::nullopt))
            if (item.kind == PrintItem::Kind::Picture) pictures.push_back(item);
    ASSERT_EQ(pictures.size(), 25u);
    EXPECT_EQ(placer.Pages(), 5); // six to a page
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(pictures[i].box.height, 2000);
        EXPECT_LE(pictures[i].box.bottom(), 15000);
        if (i > 0 && pictures[i].page == pictures[i - 1].page) {
            EXPECT_GE(pictures[i].box.top, pictures[i - 1].box.bottom());
        }
    }
}

namespace {

// The program folder holds a.jpg and b.bmp; the other folder c.gif alone.
struct PrintTest : AppFixture {
    void SetUp() override {
        AppFixture::SetUp();
        printers.names = {"Laser", "Ink"};
        printers.defaultName = "Ink";
        loader.pictures["a.jpg"] = {100, 200}; // 1,500 x 3,000 twips
        loader.pictures["b.bmp"] = {100, 900}; // 1,500 x 13,500 twips
        start();
    }
    const PrintDialog& dialog() { return app->PrintState(); }
    void print() {
        printers.log.clear();
        dialogs.messages.clear();
        app->PrintClick("cmdPrint");
    }
};

} // namespace

TEST_F(PrintTest, OpensOnASelectionWithMediumAndTheDefaultPrinter) {
    select({1, 1}); // the build selected a.jpg; b.bmp in and out leaves nothing
    ASSERT_TRUE(app->SelectedFiles().empty());
    app->Run(Command::Print);
    EXPECT_EQ(panel(StatusBarState::Status), "No images selected");
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "print"), 0);

    select({1, 0});
    app->Run(Command::Print);
    EXPECT_EQ(host.calls.back(), "print");
    EXPECT_EQ(dialog().Files(), (std::vector<std::string>{"b.bmp", "a.jpg"}));
    EXPECT_EQ(dialog().ChosenFile(), 0);
    EXPECT_EQ(dialog().PreviewName(), "b.bmp");
    EXPECT_EQ(dialog().QualityIndex(), 2);
    EXPECT_EQ(dialog().PrinterItems(), (std::vector<std::string>{"Laser", "Ink", PdfPrinterEntry}));
    EXPECT_EQ(dialog().PrinterIndex(), 1);

    // The preview sits centred, 125 twips higher, whatever the thumbnail's size.
    app->PrintChoose("lstFiles", 1);
    const Box area = PrintControlBox("picPreview"), preview = dialog().PreviewBox();
    EXPECT_EQ(dialog().PreviewName(), "a.jpg");
    ASSERT_GT(preview.height, 0);
    EXPECT_EQ(preview.left + preview.width / 2, area.width / 2);
    EXPECT_EQ(preview.top + preview.height / 2, area.height / 2 - 125);
}

TEST_F(PrintTest, QualityAndCopiesReachThePrinterOrAreRefused) {
    select({0, 1});
    app->Run(Command::Print);
    app->PrintChoose("cmbQuality", 0);
    app->PrintCopiesScroll(5);
    EXPECT_EQ(dialog().CopiesText(), "5");
    print();
    app->PrintChoose("cmbQuality", 3);
    app->PrintChoose("cmbPrinters", 0);
    app->PrintCopiesText("7");
    print();
    ASSERT_EQ(printers.targets.size(), 2u);
    EXPECT_EQ(printers.targets[0].quality, -1);
    EXPECT_EQ(printers.targets[0].copies, 5);
    EXPECT_EQ(printers.targets[0].printer, "Ink");
    EXPECT_EQ(printers.targets[1].quality, -4);
    EXPECT_EQ(printers.targets[1].copies, 7);
    EXPECT_EQ(printers.targets[1].printer, "Laser");
    EXPECT_EQ(dialog().CopiesScroll(), 7); // the spinner goes on from the typed number

    for (const char* copies : {"", "two", "0", "100", "2.5", "99999999999"}) {
        app->PrintCopiesText(copies);
        print();
        EXPECT_EQ(printers.targets.size(), 2u) << copies;
        ASSERT_EQ(dialogs.messages.size(), 1u) << copies;
        EXPECT_EQ(dialogs.messages[0].rfind("The number of copies must be", 0), 0u);
    }
}

TEST_F(PrintTest, PagesBreakAndAFailureDropsTheWholeDocument) {
    select({0, 1});
    app->Run(Command::Print);
    app->PrintNamesChecked(true);
    print();
    EXPECT_EQ(printers.log,
              (Lines{"picture 0 0 1500x3000", "line 0 3000  ", "line 0 3300 a.jpg",
                     "line 0 3600  ", "page", "picture 0 0 1500x13500", "line 0 13500  ",
                     "line 0 13800 b.bmp", "line 0 14100  ", "end"}));
    EXPECT_TRUE(dialogs.messages.empty());

    // The printer fails on the second picture.
    printers.failAt = 6;
    print();
    EXPECT_EQ(printers.log.back(), "abort");
    EXPECT_EQ(dialogs.messages, Lines{"printer jammed|Vistrel|0|4"});
    printers.failAt = 0;

    // A file that cannot be read any more stops the job before anything ends it.
    loader.pictures["b.bmp"].error = LoadError::Damaged;
    print();
    EXPECT_EQ(std::count(printers.log.begin(), printers.log.end(), "end"), 0);
    EXPECT_EQ(printers.log.back(), "abort");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("b.bmp"), std::string::npos) << dialogs.messages[0];
}

TEST_F(PrintTest, TheOnlyFileOfAFolderPrintsAsShownOthersAsSaved) {
    select({0});
    app->Run(Command::Print);
    loader.pictures["a.jpg"] = {100, 100}; // saved anew since it was shown
    print();
    EXPECT_EQ(printers.log.front(), "picture 0 0 1500x1500");

    app->FolderActivated(elsewhere.path());
    loader.pictures["c.gif"] = {100, 300};
    select({0});
    loader.pictures["c.gif"] = {100, 100};
    print();
    EXPECT_EQ(printers.log.front(), "picture 0 0 1500x4500");

    // Shown reduced, it cannot print as shown; read again from its file elsewhere, it prints
    // at its natural size.
    loader.pictures["c.gif"] = {100, 300, 0xFF000000, LoadError::None, false, 2};
    select({0});
    print();
    EXPECT_TRUE(printers.log.empty());
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{std::string(ReducedPictureMessage) + "|Vistrel|0|3"});
    app->FolderActivated(program.path());
    loader.pictures["a.jpg"] = {100, 200, 0xFF000000, LoadError::None, false, 4};
    select({0});
    print();
    EXPECT_EQ(printers.log.front(), "picture 0 0 1500x3000");
}

TEST_F(PrintTest, ThePdfEntryAsksForAFile) {
    printers.names.clear();
    printers.defaultName.clear();
    select({0});
    app->Run(Command::Print);
    ASSERT_EQ(dialog().PrinterItems(), std::vector<std::string>{PdfPrinterEntry});
    EXPECT_EQ(dialog().PrinterIndex(), 0);
    print(); // cancelled
    EXPECT_TRUE(printers.targets.empty());
    dialogs.saveNames = {std::nullopt, program.path("out.pdf")};
    print();
    ASSERT_EQ(printers.targets.size(), 1u);
    EXPECT_EQ(printers.targets[0].pdfFile, program.path("out.pdf"));
    EXPECT_EQ(dialogs.saveDialogs[1], "Print to PDF file|PDF document (*.pdf)|*.pdf");
}
