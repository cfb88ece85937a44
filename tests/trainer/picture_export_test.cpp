// Saving the board as a JPEG picture: the file's size and pixels against the
// board on screen, the dialog's texts and folder, a cancelled dialog and a
// path that cannot be written.
#include "tests/trainer/trainer_fixture.h"

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "trainer/window_layout.h"

namespace trainer {
namespace {

using trainer::SaveImageButtonControl;

constexpr const char* SomePieces = "r3k3/1p6/8/3Q4/8/8/5N2/4K2R w - - 0 1";

// The largest mean difference, per colour channel, between a JPEG of quality
// 70 and the picture it was made from.
constexpr double MeanJpegError = 6.0;

bool IsJpegFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char start[3] = {};
    file.read(reinterpret_cast<char*>(start), 3);
    return file && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF;
}

double MeanDifference(GdkPixbuf* picture, GdkPixbuf* screen, int screenX, int screenY) {
    const int width = gdk_pixbuf_get_width(picture);
    const int height = gdk_pixbuf_get_height(picture);
    const int pictureChannels = gdk_pixbuf_get_n_channels(picture);
    const int screenChannels = gdk_pixbuf_get_n_channels(screen);
    double total = 0;
    for (int y = 0; y < height; ++y) {
        const guchar* a = gdk_pixbuf_get_pixels(picture) + y * gdk_pixbuf_get_rowstride(picture);
        const guchar* b = gdk_pixbuf_get_pixels(screen) + (screenY + y) * gdk_pixbuf_get_rowstride(screen);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c)
                total += std::abs(a[x * pictureChannels + c] - b[(screenX + x) * screenChannels + c]);
        }
    }
    return total / (3.0 * width * height);
}

class PictureExportTest : public TrainerWindowTest {
  protected:
    std::string ImagePath(const std::string& name) const { return WorkDir->Path + "/Image/" + name; }
    bool FolderEmpty(const std::string& folder) const { return std::filesystem::is_empty(folder); }
    void PressSaveButton() {
        ClickControl(SaveImageButtonControl);
        ASSERT_TRUE(RunPassesUntil([&] { return !Dialogs.SaveRequests.empty() && Program->Events.Empty(); }));
    }
};

TEST_F(PictureExportTest, SavesTheBoardAsShownAsAJpegOfEightCells) {
    ShowProblem(SomePieces);
    ClickSquare(4, 4);  // d5, framed
    ASSERT_TRUE(RunPassesUntil([&] { return Program->Window.FramedSquare() != 0; }));
    const int cell = CellSize();
    // The screen once d5's frame shows: red on its left edge.
    GdkPixbuf* screen = GrabWindowShowing(Program->Window.Toplevel(), [&](GdkPixbuf* shown) {
        const guchar* edge = gdk_pixbuf_get_pixels(shown) + (4 * cell + cell / 2) * gdk_pixbuf_get_rowstride(shown) +
                             4 * cell * gdk_pixbuf_get_n_channels(shown);
        return edge[0] == 255 && edge[1] == 0 && edge[2] == 0;
    });
    Dialogs.SavePathAnswer = ImagePath("board.jpg");

    PressSaveButton();
    ASSERT_EQ(Dialogs.SaveRequests.size(), 1u);
    const trainer::SaveDialogRequest& request = Dialogs.SaveRequests[0];
    EXPECT_EQ(request.Title, "Сохраните изображение в формате JPG");
    EXPECT_EQ(request.FilterName, "Изображения (*.jpg)");
    EXPECT_EQ(request.FilterPattern, "*.jpg");
    EXPECT_EQ(request.Folder, WorkDir->Path + "/Image/");

    ASSERT_TRUE(IsJpegFile(ImagePath("board.jpg")));
    GdkPixbuf* picture = gdk_pixbuf_new_from_file(ImagePath("board.jpg").c_str(), nullptr);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(picture), 400);
    EXPECT_EQ(gdk_pixbuf_get_height(picture), 400);
    EXPECT_LT(MeanDifference(picture, screen, cell, cell), MeanJpegError) << "the picture is the board on screen";
    // The frame of d5 is in the picture: red along its edge.
    const guchar* edge = gdk_pixbuf_get_pixels(picture) + (3 * cell + cell / 2) * gdk_pixbuf_get_rowstride(picture) +
                         3 * cell * gdk_pixbuf_get_n_channels(picture);
    EXPECT_GT(edge[0], 180);
    EXPECT_LT(edge[1], 90);
    g_object_unref(picture);
    g_object_unref(screen);

    // The export changes nothing of the game.
    EXPECT_EQ(Program->Entry.SelectedFile, 4);
    EXPECT_EQ(Program->Rules.At(4, 4), rules::Queen);
    EXPECT_EQ(TableRows().size(), static_cast<size_t>(Program->Judging.Moves.Count()));
}

TEST_F(PictureExportTest, NameWithoutExtensionIsKeptAndAnOldFileReplaced) {
    std::ofstream(ImagePath("position")) << "an older file, longer than nothing";
    Dialogs.SavePathAnswer = ImagePath("position");
    PressSaveButton();
    EXPECT_TRUE(IsJpegFile(ImagePath("position")));
    EXPECT_FALSE(std::filesystem::exists(ImagePath("position.jpg")));
}

TEST_F(PictureExportTest, CancelledDialogWritesNothing) {
    Dialogs.SavePathAnswer = "";
    PressSaveButton();
    EXPECT_TRUE(FolderEmpty(WorkDir->Path + "/Image"));
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(PictureExportTest, UnwritablePathIsNotReported) {
    std::filesystem::create_directory(WorkDir->Path + "/locked");
    chmod((WorkDir->Path + "/locked").c_str(), 0500);
    Dialogs.SavePathAnswer = WorkDir->Path + "/locked/board.jpg";
    PressSaveButton();
    Dialogs.SavePathAnswer = WorkDir->Path + "/missing-folder/board.jpg";
    Dialogs.SaveRequests.clear();
    PressSaveButton();
    chmod((WorkDir->Path + "/locked").c_str(), 0700);
    if (geteuid() != 0) {
        EXPECT_FALSE(std::filesystem::exists(WorkDir->Path + "/locked/board.jpg"));
    }
    EXPECT_FALSE(std::filesystem::exists(WorkDir->Path + "/missing-folder"));
    EXPECT_TRUE(Dialogs.Messages.empty());
    EXPECT_FALSE(Ended);
}

TEST_F(PictureExportTest, ButtonClickNeverActsAsABoardClick) {
    ShowProblem(SomePieces);
    // The dialog closes with the pointer over d5: that is no click on d5.
    Dialogs.WhileSaveDialogShown = [&] { Input->MoveTo(SquareCentre(4, 4)); };
    PressSaveButton();
    EXPECT_EQ(Program->Entry.SelectedFile, 0);
    EXPECT_EQ(Program->Window.FramedSquare(), 0);
}

// Without the light empty square's picture those squares show nothing, and
// the rest works: the board, a move, the export.
class MissingPictureTest : public PictureExportTest {
  protected:
    void PrepareWorkDir() override { std::filesystem::remove(WorkDir->Path + "/JPG/W.bmp"); }
};

TEST_F(MissingPictureTest, SquaresWithoutTheirPictureShowNothingAndTheRestWorks) {
    ShowProblem(SomePieces);
    EXPECT_EQ(Program->Window.SquarePicture(1, 3), nullptr) << "a6, an empty light square";
    EXPECT_NE(Program->Window.SquarePicture(1, 2), nullptr) << "a7, an empty dark square";
    EXPECT_NE(Program->Window.SquarePicture(4, 4), nullptr) << "d5, the queen";
    Dialogs.SavePathAnswer = ImagePath("board.jpg");
    PressSaveButton();
    GdkPixbuf* picture = gdk_pixbuf_new_from_file(ImagePath("board.jpg").c_str(), nullptr);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(picture), 8 * CellSize());
    g_object_unref(picture);
}

}  // namespace
}  // namespace trainer
