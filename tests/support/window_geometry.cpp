#include "tests/support/window_geometry.h"

#include <fstream>

namespace support {

void WindowGeometry::Add(const std::string& name, GtkWidget* widget) {
    GtkAllocation area;
    gtk_widget_get_allocation(widget, &area);
    int x = 0;
    int y = 0;
    gtk_widget_translate_coordinates(widget, Toplevel, 0, 0, &x, &y);
    Add(name, x, y, area.width, area.height);
}

void WindowGeometry::Add(const std::string& name, int x, int y, int width, int height) {
    Parts.push_back(name + " " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) + " " +
                    std::to_string(height));
}

std::vector<std::string> RecordAndReadOther(const std::string& record, const std::vector<std::string>& lines) {
    std::ofstream out(std::string(WINDOW_GEOMETRY_DIR) + "/" + record + ".txt", std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    std::vector<std::string> other;
    const std::string otherFolder = OTHER_WINDOW_GEOMETRY_DIR;
    if (otherFolder.empty()) return other;
    std::ifstream in(otherFolder + "/" + record + ".txt");
    for (std::string line; std::getline(in, line);) other.push_back(line);
    return other;
}

}  // namespace support
