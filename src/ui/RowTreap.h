// TRowTreap: the rows of a list kept in an implicit treap, ordered by position, each node
// counting the nodes below it. A position finds its row and a row its position in O(log n)
// expected; a row is inserted in one descent and erased by merging its two subtrees.
//
// The nodes belong to the rows (a row keeps its node when it leaves the list and may come
// back); the treap only links them. A node's position is cached until the list changes shape,
// so a row asked for twice in a row is found once.
#pragma once

#include <cstdint>
#include <vector>

namespace nuv {

template <class Item> struct TRowNode {
    Item* item = nullptr;
    TRowNode* left = nullptr;
    TRowNode* right = nullptr;
    TRowNode* parent = nullptr;
    int size = 1;
    std::uint32_t priority = 0;
    bool linked = false;
    // The position last worked out, good while the treap's shape version is unchanged.
    int cachedIndex = -1;
    std::uint64_t cachedVersion = 0;
};

template <class Item> struct TRowTreap {
    using Node = TRowNode<Item>;

    Node* root = nullptr;
    std::uint32_t seed = 0x9E3779B9u;
    // Raised by every insert, delete and clear: cached positions older than this are stale.
    std::uint64_t version = 1;

    static int Size(const Node* n) { return n != nullptr ? n->size : 0; }
    static void Update(Node* n) {
        n->size = 1 + Size(n->left) + Size(n->right);
        if (n->left != nullptr)
            n->left->parent = n;
        if (n->right != nullptr)
            n->right->parent = n;
    }
    std::uint32_t NextPriority() {
        // xorshift32: the treap needs only that priorities look independent of the positions.
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    }
    // Splits t into its first k nodes (a) and the rest (b).
    static void Split(Node* t, int k, Node*& a, Node*& b) {
        if (t == nullptr) {
            a = b = nullptr;
            return;
        }
        if (Size(t->left) < k) {
            Split(t->right, k - Size(t->left) - 1, t->right, b);
            a = t;
        } else {
            Split(t->left, k, a, t->left);
            b = t;
        }
        t->parent = nullptr;
        Update(t);
    }
    static Node* Merge(Node* a, Node* b) {
        if (a == nullptr)
            return b;
        if (b == nullptr)
            return a;
        if (a->priority >= b->priority) {
            a->right = Merge(a->right, b);
            Update(a);
            return a;
        }
        b->left = Merge(a, b->left);
        Update(b);
        return b;
    }
    int Count() const { return Size(root); }
    // Links the node in at the position (0 ≤ index ≤ Count()).
    void Insert(int index, Node* n) {
        n->left = n->right = n->parent = nullptr;
        n->priority = NextPriority();
        n->linked = true;
        ++version;
        // Down to where the new node's priority belongs (each node passed gains it below),
        // then the subtree there is split around it.
        Node** link = &root;
        Node* parent = nullptr;
        while (*link != nullptr && (*link)->priority >= n->priority) {
            Node* t = *link;
            ++t->size;
            int l = Size(t->left);
            if (index <= l) {
                link = &t->left;
            } else {
                index -= l + 1;
                link = &t->right;
            }
            parent = t;
        }
        Split(*link, index, n->left, n->right);
        Update(n);
        n->parent = parent;
        *link = n;
    }
    // Unlinks the node at the position; nothing for a position outside the list.
    void Erase(int index) {
        Node* m = At(index);
        if (m == nullptr)
            return;
        ++version;
        // The node's two subtrees, merged, take its place; the nodes above lose one.
        Node* c = Merge(m->left, m->right);
        Node* p = m->parent;
        if (c != nullptr)
            c->parent = p;
        if (p == nullptr)
            root = c;
        else if (p->left == m)
            p->left = c;
        else
            p->right = c;
        for (Node* q = p; q != nullptr; q = q->parent)
            --q->size;
        m->left = m->right = m->parent = nullptr;
        m->size = 1;
        m->linked = false;
    }
    // The node at the position, nullptr outside the list.
    Node* At(int index) const {
        Node* n = root;
        while (n != nullptr) {
            int l = Size(n->left);
            if (index < l) {
                n = n->left;
            } else if (index == l) {
                return n;
            } else {
                index -= l + 1;
                n = n->right;
            }
        }
        return nullptr;
    }
    // The position of a linked node.
    int IndexOf(const Node* node) const {
        if (node->cachedVersion == version)
            return node->cachedIndex;
        const Node* n = node;
        int i = Size(n->left);
        for (; n->parent != nullptr; n = n->parent)
            if (n == n->parent->right)
                i += Size(n->parent->left) + 1;
        auto* cache = const_cast<Node*>(node);
        cache->cachedIndex = i;
        cache->cachedVersion = version;
        return i;
    }
    // The nodes in position order.
    std::vector<Node*> Nodes() const {
        std::vector<Node*> out;
        out.reserve(static_cast<std::size_t>(Count()));
        std::vector<Node*> stack;
        Node* n = root;
        while (n != nullptr || !stack.empty()) {
            for (; n != nullptr; n = n->left)
                stack.push_back(n);
            n = stack.back();
            stack.pop_back();
            out.push_back(n);
            n = n->right;
        }
        return out;
    }
    // The items in position order.
    std::vector<Item*> All() const {
        std::vector<Item*> out;
        out.reserve(static_cast<std::size_t>(Count()));
        for (Node* n : Nodes())
            out.push_back(n->item);
        return out;
    }
    // Unlinks every node, leaving the list empty.
    void Clear() {
        for (Node* n : Nodes()) {
            n->left = n->right = n->parent = nullptr;
            n->size = 1;
            n->linked = false;
        }
        root = nullptr;
        ++version;
    }
};

} // namespace nuv
