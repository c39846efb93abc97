// WRITE_FORMATTED and FORMAT_LINE: format control of the classic formatted output, the walk
// through a parsed layout that hands each item to its field and breaks the lines.
//
// Reads: a parsed Layout and the items. Writes: the output lines. Changes no global record.
// Output ends at the first descriptor that needs an item when none is left (texts and line
// ends before it are still written). When items remain at the end of the layout the line
// ends and output resumes at the last top-level group (with its repeat count), or at the
// start when there is none; scale factor and sign mode stay as they were.
// nX only moves the position: blanks appear when something is written after them.

#include "text/Fortran_Format.h"

#include <stdexcept>

#include "text/Number_Edit.h"

namespace {

class Format_Writer {
 public:
  explicit Format_Writer(std::span<const Format_Item> items) : items_(items) {}

  std::vector<std::string> run(const Layout& layout) {
    bool stopped = !walk(layout.items.begin(), layout.items.end());
    while (!stopped && next_ < items_.size()) {
      std::size_t before = next_;
      end_line();
      stopped = !walk(layout.items.begin() + static_cast<std::ptrdiff_t>(layout.reversion),
                      layout.items.end());
      if (!stopped && next_ == before) {  // nothing would ever take the remaining items
        throw std::invalid_argument("layout without a field for item " +
                                    std::to_string(next_ + 1));
      }
    }
    lines_.push_back(std::move(line_));
    return std::move(lines_);
  }

 private:
  using Iterator = std::vector<Edit_Descriptor>::const_iterator;

  // Processes descriptors; false when output stopped for want of an item.
  bool walk(Iterator first, Iterator last) {
    for (Iterator d = first; d != last; ++d) {
      switch (d->kind) {
        case Edit_Kind::Text:  // fields that take an item
        case Edit_Kind::Integer:
        case Edit_Kind::Fixed:
        case Edit_Kind::Exponent:
        case Edit_Kind::Scientific:
        case Edit_Kind::General:
          for (int r = 0; r < d->repeat; ++r) {
            if (next_ == items_.size()) return false;
            field(*d, items_[next_++]);
          }
          break;
        case Edit_Kind::Group:
          for (int r = 0; r < d->repeat; ++r) {
            if (!walk(d->group.begin(), d->group.end())) return false;
          }
          break;
        case Edit_Kind::Blanks:
          pending_blanks_ += static_cast<std::size_t>(d->repeat);
          break;
        case Edit_Kind::Line_End:
          for (int r = 0; r < d->repeat; ++r) end_line();
          break;
        case Edit_Kind::Literal:
          start_write();
          line_ += d->text;
          break;
        case Edit_Kind::Scale:
          modes_.scale = d->exponent;
          break;
        case Edit_Kind::Sign_Plus:
          modes_.plus = true;
          break;
        case Edit_Kind::Sign_Default:
          modes_.plus = false;
          break;
      }
    }
    return true;
  }

  void start_write() {
    line_.append(pending_blanks_, ' ');
    pending_blanks_ = 0;
  }

  void end_line() {
    lines_.push_back(std::move(line_));
    line_.clear();
    pending_blanks_ = 0;
  }

  [[noreturn]] void mismatch(const Edit_Descriptor& d, const char* wanted) const {
    static constexpr const char* names[] = {"A", "I", "F", "E", "ES", "G"};
    throw std::invalid_argument("item " + std::to_string(next_) + " of the " +
                                names[static_cast<int>(d.kind)] + " field is not " + wanted);
  }

  // Writes one item in its field.
  void field(const Edit_Descriptor& d, const Format_Item& item) {
    start_write();
    const auto* text = std::get_if<std::string>(&item);
    const auto* integer = std::get_if<std::int64_t>(&item);
    switch (d.kind) {
      case Edit_Kind::Text:  // A
        if (!text) mismatch(d, "a text");
        EDIT_TEXT(line_, *text, d.width);
        return;
      case Edit_Kind::Integer:  // I
        if (!integer) mismatch(d, "an integer");
        EDIT_INTEGER(line_, *integer, d.width, d.digits, modes_.plus);
        return;
      case Edit_Kind::General:  // G takes any item: integers as Iw, texts as Aw
        if (text) {
          EDIT_TEXT(line_, *text, d.width);
          return;
        }
        if (integer) {
          EDIT_INTEGER(line_, *integer, d.width, -1, modes_.plus);
          return;
        }
        break;
      default:  // F, E, ES
        if (text || integer) mismatch(d, "a real number");
        break;
    }
    double value = std::holds_alternative<float>(item) ? static_cast<double>(std::get<float>(item))
                                                       : std::get<double>(item);
    EDIT_REAL(line_, value, d, modes_);
  }

  std::span<const Format_Item> items_;
  std::size_t next_ = 0;
  std::vector<std::string> lines_;
  std::string line_;
  std::size_t pending_blanks_ = 0;
  Edit_Modes modes_;
};

}  // namespace

std::vector<std::string> WRITE_FORMATTED(const Layout& layout,
                                         std::span<const Format_Item> items) {
  return Format_Writer(items).run(layout);
}

std::string FORMAT_LINE(std::string_view layout, std::initializer_list<Format_Item> items) {
  std::vector<std::string> lines = WRITE_FORMATTED(
      PARSE_LAYOUT(layout), std::span<const Format_Item>(items.begin(), items.size()));
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += '\n';
    joined += lines[i];
  }
  return joined;
}
