// COctreeQuantizer: builds a palette of at most maxColors colours from a 24-bit
// picture. Colours are told apart by their top colorBits bits; when there are too
// many leaves, the deepest, most recently created inner node is merged into one.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "imaging/px_image.h"

class COctreeQuantizer {
public:
    struct Node {
        bool isLeaf = false;
        std::uint32_t pixelCount = 0;
        // Wider than a channel sum of a stamp needs, so that large pictures cannot wrap.
        std::uint64_t redSum = 0, greenSum = 0, blueSum = 0;
        std::array<std::unique_ptr<Node>, 8> children;
        Node* next = nullptr;  // the next inner node of the same level, older
    };

    COctreeQuantizer(unsigned maxColors, unsigned colorBits);
    virtual ~COctreeQuantizer();
    COctreeQuantizer(const COctreeQuantizer&) = delete;
    COctreeQuantizer& operator=(const COctreeQuantizer&) = delete;

    // Adds every pixel of a 24 bpp picture, rows in storage order. False for another
    // depth, or when a node cannot be allocated (the tree is then freed).
    bool ProcessImage(const PxImage& picture);
    // False when a node cannot be allocated; the tree keeps what it had.
    bool AddColor(BYTE red, BYTE green, BYTE blue);
    void ReduceTree();
    // Writes one entry per leaf, depth first, children in index order; returns how
    // many (at most 256).
    unsigned GetColorTable(RGBQUAD* palette) const;

    unsigned LeafCount() const { return leafCount_; }
    void Clear();

protected:
    // One zero-filled node; null when memory is short.
    virtual std::unique_ptr<Node> NewNode();

private:
    std::unique_ptr<Node> root_;
    unsigned leafCount_ = 0;
    std::array<Node*, 9> reducible_{};
    unsigned maxColors_;
    unsigned colorBits_;
};
