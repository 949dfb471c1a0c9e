// One folder of the tree, shared by the tree's model, input and painting.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "folder_tree.h"

struct CFolderView::Node {
    std::string name;
    std::string path;
    PlaceKind kind = PlaceKind::Folder;
    Node* parent = nullptr;
    int depth = 0;
    bool listed = false;
    bool expandable = false;
    bool expanded = false;
    std::vector<std::unique_ptr<Node>> children;
};
