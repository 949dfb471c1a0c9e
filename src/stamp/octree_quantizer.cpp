#include "octree_quantizer.h"

#include <algorithm>
#include <new>

namespace {

unsigned ChildIndex(BYTE red, BYTE green, BYTE blue, unsigned level) {
    const unsigned shift = 7 - level;
    return (((red >> shift) & 1u) << 2) | (((green >> shift) & 1u) << 1) | ((blue >> shift) & 1u);
}

void WriteLeaves(const COctreeQuantizer::Node& node, RGBQUAD* palette, unsigned& count) {
    if (node.isLeaf) {
        if (count >= 256 || node.pixelCount == 0) return;
        palette[count++] = RGBQUAD{static_cast<BYTE>(node.blueSum / node.pixelCount),
                                   static_cast<BYTE>(node.greenSum / node.pixelCount),
                                   static_cast<BYTE>(node.redSum / node.pixelCount), 0};
        return;
    }
    for (const auto& child : node.children)
        if (child) WriteLeaves(*child, palette, count);
}

}  // namespace

COctreeQuantizer::COctreeQuantizer(unsigned maxColors, unsigned colorBits)
    : maxColors_(std::max(1u, maxColors)), colorBits_(std::min(colorBits, 8u)) {}

COctreeQuantizer::~COctreeQuantizer() = default;

std::unique_ptr<COctreeQuantizer::Node> COctreeQuantizer::NewNode() {
    return std::unique_ptr<Node>(new (std::nothrow) Node());
}

void COctreeQuantizer::Clear() {
    root_.reset();
    leafCount_ = 0;
    reducible_.fill(nullptr);
}

bool COctreeQuantizer::AddColor(BYTE red, BYTE green, BYTE blue) {
    std::unique_ptr<Node>* slot = &root_;
    for (unsigned level = 0;; ++level) {
        if (!*slot) {
            std::unique_ptr<Node> node = NewNode();
            if (!node) return false;
            if (level == colorBits_) {
                node->isLeaf = true;
                ++leafCount_;
            } else {
                node->next = reducible_[level];
                reducible_[level] = node.get();
            }
            *slot = std::move(node);
        }
        Node& node = **slot;
        if (node.isLeaf) {
            ++node.pixelCount;
            node.redSum += red;
            node.greenSum += green;
            node.blueSum += blue;
            return true;
        }
        slot = &node.children[ChildIndex(red, green, blue, level)];
    }
}

void COctreeQuantizer::ReduceTree() {
    unsigned level = colorBits_ == 0 ? 0 : colorBits_ - 1;
    while (level > 0 && !reducible_[level])
        --level;
    Node* node = reducible_[level];
    if (!node) return;
    reducible_[level] = node->next;
    node->next = nullptr;
    unsigned merged = 0;
    for (auto& child : node->children) {
        if (!child) continue;
        node->pixelCount += child->pixelCount;
        node->redSum += child->redSum;
        node->greenSum += child->greenSum;
        node->blueSum += child->blueSum;
        child.reset();
        ++merged;
    }
    node->isLeaf = true;
    leafCount_ = leafCount_ + 1 - merged;
}

bool COctreeQuantizer::ProcessImage(const PxImage& picture) {
    if (!picture.IsValid() || picture.GetBpp() != 24) return false;
    const DWORD width = picture.GetWidth(), height = picture.GetHeight();
    const BYTE* bits = picture.GetBits();
    for (DWORD y = 0; y < height; ++y) {
        const BYTE* pixel = bits + static_cast<std::size_t>(y) * picture.GetEffWidth();
        for (DWORD x = 0; x < width; ++x, pixel += 3) {
            if (!AddColor(pixel[2], pixel[1], pixel[0])) {
                Clear();
                return false;
            }
            while (leafCount_ > maxColors_)
                ReduceTree();
        }
    }
    return true;
}

unsigned COctreeQuantizer::GetColorTable(RGBQUAD* palette) const {
    unsigned count = 0;
    if (root_) WriteLeaves(*root_, palette, count);
    return count;
}
