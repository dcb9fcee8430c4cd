#include "ui/RowTreap.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

using namespace nuv;

namespace {

struct Row {
    int id;
};

using Treap = TRowTreap<Row>;
using Node = Treap::Node;

// A row with its node, as a list item owns its node.
struct OwnedRow {
    Row row;
    Node node;
    explicit OwnedRow(int id) : row{id} { node.item = &row; }
};

// Checks every node's size, parent link and heap order; returns the subtree size.
int CheckShape(const Node* n, const Node* parent) {
    if (n == nullptr)
        return 0;
    EXPECT_EQ(n->parent, parent);
    EXPECT_TRUE(n->linked);
    if (parent != nullptr) {
        EXPECT_GE(parent->priority, n->priority);
    }
    int size = 1 + CheckShape(n->left, n) + CheckShape(n->right, n);
    EXPECT_EQ(n->size, size);
    return size;
}

// The treap against a plain vector of the same rows: order by position, At, IndexOf and shape.
void ExpectSameRows(const Treap& treap, const std::vector<Node*>& model) {
    ASSERT_EQ(treap.Count(), static_cast<int>(model.size()));
    EXPECT_EQ(CheckShape(treap.root, nullptr), treap.Count());
    std::vector<Row*> expected;
    for (Node* n : model)
        expected.push_back(n->item);
    EXPECT_EQ(treap.All(), expected);
    for (int i = 0; i < static_cast<int>(model.size()); ++i) {
        EXPECT_EQ(treap.At(i), model[static_cast<std::size_t>(i)]) << "position " << i;
        EXPECT_EQ(treap.IndexOf(model[static_cast<std::size_t>(i)]), i) << "position " << i;
    }
    EXPECT_EQ(treap.At(-1), nullptr);
    EXPECT_EQ(treap.At(treap.Count()), nullptr);
}

} // namespace

TEST(RowTreapTest, InsertsAndErasesAtEveryKindOfPosition) {
    struct Step {
        char op; // 'i' insert, 'e' erase
        int index;
    };
    struct Case {
        std::string name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"appends", {{'i', 0}, {'i', 1}, {'i', 2}, {'i', 3}}},
        {"prepends", {{'i', 0}, {'i', 0}, {'i', 0}, {'i', 0}}},
        {"into the middle", {{'i', 0}, {'i', 1}, {'i', 1}, {'i', 2}, {'i', 1}}},
        {"erase first, last, middle",
         {{'i', 0}, {'i', 1}, {'i', 2}, {'i', 3}, {'i', 4}, {'e', 0}, {'e', 3}, {'e', 1}}},
        {"erase outside the list is nothing", {{'i', 0}, {'e', 5}, {'e', -1}, {'e', 1}}},
        {"empty and fill again", {{'i', 0}, {'i', 1}, {'e', 0}, {'e', 0}, {'i', 0}, {'i', 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::deque<OwnedRow> rows;
        Treap treap;
        std::vector<Node*> model;
        for (const Step& s : c.steps) {
            if (s.op == 'i') {
                rows.emplace_back(static_cast<int>(rows.size()));
                treap.Insert(s.index, &rows.back().node);
                model.insert(model.begin() + s.index, &rows.back().node);
            } else {
                treap.Erase(s.index);
                if (s.index >= 0 && s.index < static_cast<int>(model.size()))
                    model.erase(model.begin() + s.index);
            }
            ExpectSameRows(treap, model);
        }
    }
}

TEST(RowTreapTest, RandomInsertsAndErasesKeepPositionsAndShape) {
    std::mt19937 random(58);
    std::deque<OwnedRow> rows;
    Treap treap;
    std::vector<Node*> model;
    for (int step = 0; step < 2000; ++step) {
        int count = static_cast<int>(model.size());
        bool insert = count == 0 || random() % 3 != 0;
        if (insert) {
            int at = static_cast<int>(random() % static_cast<unsigned>(count + 1));
            rows.emplace_back(step);
            treap.Insert(at, &rows.back().node);
            model.insert(model.begin() + at, &rows.back().node);
        } else {
            int at = static_cast<int>(random() % static_cast<unsigned>(count));
            Node* gone = model[static_cast<std::size_t>(at)];
            treap.Erase(at);
            model.erase(model.begin() + at);
            EXPECT_FALSE(gone->linked);
        }
        // A full comparison now and then; positions of a few rows every step (through the
        // cache, which a change of shape must invalidate).
        if (step % 100 == 0) {
            ExpectSameRows(treap, model);
        } else if (!model.empty()) {
            for (int k = 0; k < 3; ++k) {
                int i = static_cast<int>(random() % model.size());
                ASSERT_EQ(treap.IndexOf(model[static_cast<std::size_t>(i)]), i) << "step " << step;
            }
        }
    }
    ExpectSameRows(treap, model);
}

TEST(RowTreapTest, AnErasedRowComesBackAndClearUnlinksAll) {
    std::deque<OwnedRow> rows;
    Treap treap;
    for (int i = 0; i < 5; ++i) {
        rows.emplace_back(i);
        treap.Insert(i, &rows.back().node);
    }
    Node* third = &rows[2].node;
    EXPECT_EQ(treap.IndexOf(third), 2);
    treap.Erase(2);
    treap.Insert(0, third);
    ExpectSameRows(treap, {third, &rows[0].node, &rows[1].node, &rows[3].node, &rows[4].node});

    treap.Clear();
    EXPECT_EQ(treap.Count(), 0);
    EXPECT_TRUE(treap.All().empty());
    for (OwnedRow& r : rows) {
        EXPECT_FALSE(r.node.linked);
        EXPECT_EQ(r.node.parent, nullptr);
    }
    treap.Insert(0, &rows[4].node);
    ExpectSameRows(treap, {&rows[4].node});
}
