#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <vector>

namespace quenlor {

// Which card each of the four device names stands for. A card keeps its name
// for as long as it stays plugged in, so a card unplugged beside it cannot hand
// its name to another card; a card newly seen takes the lowest free name.
class CardNames {
  public:
    static constexpr int kNames = 4;

    struct Location {
        std::uint8_t bus = 0;
        std::uint8_t address = 0;
        auto operator<=>(const Location&) const = default;
    };

    // The cards on the bus now, in any order. Names of cards no longer among
    // them are freed first; the new cards then take free names in bus and
    // address order. Cards beyond the four names stay unnamed.
    void update(std::vector<Location> present);

    // The card named by number 0 .. 3, if any.
    std::optional<Location> at(int number) const;

  private:
    std::array<std::optional<Location>, kNames> names_;
};

}  // namespace quenlor
