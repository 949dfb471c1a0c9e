// The phone link component itself, an in-process server: a link other than
// "None" delivers files into the folder that stands for the phone's storage
// ("Storage Folder" under the root key followed by "\PhoneLink"), below the phone
// folder it is given, and raises OnStatus with the progress. Settings read there
// too: "Chunk Delay" (milliseconds between chunks, for demos; at most 2000) and
// the wizard's "Language" for its texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr const char* kPhoneLinkSettingsKey = "SOFTWARE\\Norvane\\Tessel 310-510\\PhoneLink";
constexpr std::uint32_t kLongestChunkDelayMs = 2000;

// Makes the component creatable by its class id; later calls do nothing.
void RegisterPhoneLinkServer();

// Where every file delivered in this run landed, oldest first (for run reports).
std::vector<std::string> DeliveredFiles();
// Called by the component after each delivery.
void RecordDelivery(const std::string& target);
