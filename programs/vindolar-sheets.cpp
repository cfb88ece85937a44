// vindolar-sheets: worksheets of mates in one or in two from the trainer's
// own position builder and settings, as PDF with an answer key, PGN and EPD.
#include <memory>

#include "sheets/sheet_program.h"

int main(int argc, char** argv) {
    auto program = std::make_unique<sheets::SheetProgram>();
    return program->Run(argc, argv);
}
