// The wizard's built-in resources: dialog templates, strings and the two
// window-shape regions. Registered once at start-up, before any window exists.
#pragma once

#include <vector>

#include "platform/base/win_types.h"

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_MAIN = 102;
constexpr int IDD_WIZ1 = 129;
constexpr int IDD_MASK = 135;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDR_SHAPE_RIGHT = 137;
constexpr int IDR_SHAPE_LEFT = 138;
constexpr int IDC_PLAYER = 1003;

void RegisterWizardResources();

// The bytes of a region resource (a region data block), empty when unknown.
std::vector<BYTE> RegionResource(int id);
