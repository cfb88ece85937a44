// vindolar-sheets: worksheets of mate-in-one problems from the trainer's own
// generator, as PDF with an answer key, PGN and EPD.
#include <memory>

#include "sheets/sheet_program.h"

int main(int argc, char** argv) {
    auto program = std::make_unique<sheets::SheetProgram>();
    return program->Run(argc, argv);
}
