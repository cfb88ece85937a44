// The trainer's picture files: square pictures are read only from regular
// files of a sane size, and the board picture replaces its file only when
// it is whole.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "trainer/jpeg_file.h"
#include "trainer/tile_pictures.h"

namespace trainer {
namespace {

namespace fs = std::filesystem;
using support::ChildResult;
using support::NamesIn;
using support::ReadFileBytes;
using support::WriteFileBytes;

void PutLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An uncompressed 24-bit BMP whose header claims width x height and which
// holds `pixelBytes` bytes of grey pixels (the whole picture's when none are
// given).
std::string BmpFile(int width, int height, std::size_t pixelBytes = SIZE_MAX) {
    constexpr std::uint32_t HeaderBytes = 54;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(height);
    if (pixelBytes == SIZE_MAX) pixelBytes = imageBytes;
    std::string bytes = "BM";
    PutLittleEndian(bytes, static_cast<std::uint32_t>(HeaderBytes + imageBytes), 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, HeaderBytes, 4);
    PutLittleEndian(bytes, 40, 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(width), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(height), 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, 24, 2);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(imageBytes), 4);
    for (int i = 0; i < 4; ++i) PutLittleEndian(bytes, i < 2 ? 2835 : 0, 4);
    bytes.append(pixelBytes, '\x80');
    return bytes;
}

class PictureFilesTest : public ::testing::Test {
  protected:
    std::string At(const std::string& name) const { return (Folder.Path / name).string(); }

    const support::ScratchFolder Folder{"picture-files-test"};
};

// 1 when a picture is loaded from `path`, 0 when none is.
int LoadsAPicture(const std::string& path) {
    GdkPixbuf* picture = trainer::LoadTilePicture(path);
    if (picture == nullptr) return 0;
    g_object_unref(picture);
    return 1;
}

TEST_F(PictureFilesTest, SquarePicturesOfASaneSizeLoadAndOthersCountAsMissing) {
    WriteFileBytes(At("square.bmp"), BmpFile(70, 70));
    GdkPixbuf* square = trainer::LoadTilePicture(At("square.bmp"));
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(square), 70);
    EXPECT_EQ(gdk_pixbuf_get_height(square), 70);
    g_object_unref(square);

    WriteFileBytes(At("edge.bmp"), BmpFile(trainer::LargestTileEdge, 2));
    EXPECT_EQ(LoadsAPicture(At("edge.bmp")), 1);

    // A real picture beyond the bound, and 1000-byte files whose headers
    // claim 20000 x 20000 pixels, or a negative width.
    WriteFileBytes(At("large.bmp"), BmpFile(trainer::LargestTileEdge + 1, 3));
    EXPECT_EQ(LoadsAPicture(At("large.bmp")), 0);
    WriteFileBytes(At("lying.bmp"), BmpFile(20000, 20000, 1000 - 54));
    EXPECT_EQ(LoadsAPicture(At("lying.bmp")), 0);
    WriteFileBytes(At("negative.bmp"), BmpFile(-70, 70, 1000 - 54));
    EXPECT_EQ(LoadsAPicture(At("negative.bmp")), 0);

    // Not pictures at all.
    WriteFileBytes(At("text.bmp"), "not a picture");
    EXPECT_EQ(LoadsAPicture(At("text.bmp")), 0);
    EXPECT_EQ(LoadsAPicture(At("missing.bmp")), 0);
    fs::create_directory(At("folder.bmp"));
    EXPECT_EQ(LoadsAPicture(At("folder.bmp")), 0);
}

TEST_F(PictureFilesTest, APipeAmongTheSquarePicturesIsNotWaitedOn) {
    ASSERT_EQ(mkfifo(At("pipe.bmp").c_str(), 0644), 0);
    // In a child with an alarm, so that a wait for a writer fails the test
    // instead of hanging it.
    EXPECT_EQ(ChildResult([&] { return LoadsAPicture(At("pipe.bmp")) == 0 ? 0 : 1; }, RLIM_INFINITY, 10), 0);

    // The whole set: the pipe's picture is missing, the others load.
    fs::create_directory(At("JPG"));
    for (int number = 0; number < trainer::TileCount; ++number) {
        WriteFileBytes(trainer::TilePath(Folder.Path.string() + "/", number), BmpFile(40, 40));
    }
    const std::string pipe = trainer::TilePath(Folder.Path.string() + "/", 3);
    fs::remove(pipe);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    const int loaded = ChildResult(
        [&] {
            trainer::TilePictures tiles;
            tiles.LoadTiles(Folder.Path.string() + "/");
            int count = 0;
            for (int number = 0; number < trainer::TileCount; ++number) count += tiles.Picture(number) != nullptr;
            return tiles.Picture(3) == nullptr ? count : 100;
        },
        RLIM_INFINITY, 10);
    EXPECT_EQ(loaded, trainer::TileCount - 1);
}

GdkPixbuf* GreyPicture(int edge) {
    GdkPixbuf* picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, edge, edge);
    gdk_pixbuf_fill(picture, 0x808080FF);
    return picture;
}

TEST_F(PictureFilesTest, BoardPictureReplacesItsFileOnlyWhenWhole) {
    GdkPixbuf* board = GreyPicture(400);
    const std::string old = "an older picture";
    WriteFileBytes(At("board.jpg"), old);
    chmod(At("board.jpg").c_str(), 0640);

    // A file-size limit stops the write part of the way: the old file stays
    // and no temporary file is left (the signal of the limit ends nothing).
    const int cutOff = ChildResult([&] { return trainer::WriteJpegFile(board, At("board.jpg"), 70) ? 1 : 0; }, 100);
    EXPECT_EQ(cutOff, 0);
    EXPECT_EQ(ReadFileBytes(At("board.jpg")), old);
    EXPECT_EQ(NamesIn(Folder.Path), std::vector<std::string>{"board.jpg"});
    const int fresh = ChildResult([&] { return trainer::WriteJpegFile(board, At("new.jpg"), 70) ? 1 : 0; }, 100);
    EXPECT_EQ(fresh, 0);
    EXPECT_EQ(NamesIn(Folder.Path), std::vector<std::string>{"board.jpg"});

    // Written whole, it takes the old file's place and keeps its permissions.
    ASSERT_TRUE(trainer::WriteJpegFile(board, At("board.jpg"), 70));
    GdkPixbuf* back = gdk_pixbuf_new_from_file(At("board.jpg").c_str(), nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(back), 400);
    g_object_unref(back);
    struct stat info {};
    ASSERT_EQ(stat(At("board.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(NamesIn(Folder.Path), std::vector<std::string>{"board.jpg"});

    // A named pipe chosen as the file is not waited on and stays a pipe.
    ASSERT_EQ(mkfifo(At("pipe.jpg").c_str(), 0644), 0);
    EXPECT_EQ(ChildResult([&] { return trainer::WriteJpegFile(board, At("pipe.jpg"), 70) ? 1 : 0; }, RLIM_INFINITY, 10),
              0);
    EXPECT_TRUE(fs::is_fifo(At("pipe.jpg")));
    g_object_unref(board);
}

}  // namespace
}  // namespace trainer
