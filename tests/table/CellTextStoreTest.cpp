#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "table/CellTextStore.h"
#include "table/RowEditing.h"

using namespace orrelin;

namespace {

using Texts = std::vector<std::string>;

// Texts of every shape a cell meets: empty, short, and long enough that a
// few edits leave enough behind to pack the buffer.
std::string someText(std::mt19937& random) {
  switch (random() % 5) {
    case 0: return {};
    case 1: return std::to_string(random() % 1000);
    case 2: return std::string(1 + random() % 40, char('a' + random() % 26));
    case 3: return std::string(20000 + random() % 30000, char('A' + random() % 26));
    default: return "x" + std::to_string(random());
  }
}

// Every operation is done on a plain list of strings alongside, with the
// shared row rules, and the two must agree after each step.
TEST(CellTextStore, AgreesWithAListOfStringsThroughEditsInsertsRemovesAndReorders) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 random(seed);
    CellTextStore store;
    Texts model;
    for (int step = 0; step < 400; ++step) {
      const std::size_t length = model.size();
      switch (random() % 7) {
        case 0:
        case 1: {  // edit, possibly past the end
          const std::size_t row = random() % (length + 3);
          const std::string text = someText(random);
          store.set(row, text);
          if (row >= model.size()) model.resize(row + 1);
          model[row] = text;
          break;
        }
        case 2: {
          const std::string text = someText(random);
          store.push_back(text);
          model.push_back(text);
          break;
        }
        case 3: {
          RowIndices positions;
          Texts items;
          for (unsigned k = random() % 4; k > 0; --k) {
            positions.push_back(long(random() % (length + 4)));
            items.push_back(someText(random));
          }
          positions = normalizedRows(positions);
          // Fewer items than positions: the rest are empty.
          if (!items.empty() && random() % 2) items.pop_back();
          store.insertRows(positions, items);
          model = insertedRows(model, positions, items, std::string());
          break;
        }
        case 4: {
          RowIndices positions;
          for (unsigned k = random() % 4; k > 0; --k) positions.push_back(long(random() % (length + 2)));
          positions = normalizedRows(positions);
          store.removeRows(positions);
          model = removedRows(model, positions);
          break;
        }
        case 5: {
          std::vector<long> order(random() % (length + 4));
          for (auto& from : order) from = long(random() % (length + 3)) - 1;
          store.reorderRows(order);
          model = reorderedRows(model, order, std::string());
          break;
        }
        default: {
          const std::size_t rows = random() % (length + 3);
          store.resize(rows);
          model.resize(rows);
          break;
        }
      }
      ASSERT_EQ(store.toVector(), model) << "seed " << seed << ", step " << step;
    }
  }
}

TEST(CellTextStore, TakesTextsFromItsOwnRows) {
  CellTextStore store(Texts{"alpha", "be", "", "gamma ray"});
  // Longer than the row it goes to: appended while the source is in the
  // buffer that grows.
  store.set(1, store[3]);
  // Shorter, overlapping itself.
  store.set(0, store[0].substr(2));
  store.push_back(store[1]);
  store.set(2, store[2]);
  EXPECT_EQ(store.toVector(), (Texts{"pha", "gamma ray", "", "gamma ray", "gamma ray"}));
}

TEST(CellTextStore, PacksWhatEditsLeaveBehind) {
  CellTextStore store;
  const std::string shortText(10, 's');
  const std::string longText(1000, 'l');
  for (int row = 0; row < 100; ++row) store.push_back(shortText);
  // Each edit outgrows the row's place: without packing the buffer would
  // hold every text ever written.
  for (int round = 0; round < 50; ++round)
    for (std::size_t row = 0; row < store.size(); ++row)
      store.set(row, round % 2 ? shortText + std::to_string(round) : longText + std::to_string(round));
  EXPECT_LT(store.charactersHeld(), 3 * 100 * (longText.size() + 2));
  for (std::size_t row = 0; row < store.size(); ++row) EXPECT_EQ(store[row], shortText + "49");
}

TEST(CellTextStore, AppendsAnotherStoreAfterItsRows) {
  CellTextStore first(Texts{"1", "22", "333"});
  first.set(0, "a longer first row");  // leaves characters behind
  CellTextStore second(Texts{"", "b", std::string(70000, 'c')});
  first.append(std::move(second));
  EXPECT_EQ(first.toVector(), (Texts{"a longer first row", "22", "333", "", "b", std::string(70000, 'c')}));
  EXPECT_TRUE(second.empty());

  CellTextStore empty;
  empty.append(CellTextStore(Texts{"only"}));
  EXPECT_EQ(empty.toVector(), Texts{"only"});
}

}  // namespace
