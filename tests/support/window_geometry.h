// The geometry of a running window as the toolkit placed it: one line per
// part, "name x y width height" in the toplevel's client coordinates. A build
// writes what it saw to its own build folder; given the folder of a build on
// the other toolkit, it compares the two.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace support {

class WindowGeometry {
  public:
    explicit WindowGeometry(GtkWidget* toplevel) : Toplevel(toplevel) {}
    // The widget's place and allocated size under `name`.
    void Add(const std::string& name, GtkWidget* widget);
    void Add(const std::string& name, int x, int y, int width, int height);
    [[nodiscard]] const std::vector<std::string>& Lines() const { return Parts; }

  private:
    GtkWidget* Toplevel;
    std::vector<std::string> Parts;
};

// Writes `lines` as `record` into this build's geometry folder and returns
// the lines the other toolkit's build recorded under the same name; empty
// when no such build was named at configure time or it recorded nothing.
std::vector<std::string> RecordAndReadOther(const std::string& record, const std::vector<std::string>& lines);

}  // namespace support
