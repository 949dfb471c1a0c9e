#include "px_jpeg_stream.h"

#include <jerror.h>

namespace {

constexpr int kMaxScans = 500;

PxJpegSource& SourceOf(j_decompress_ptr cinfo) {
    return *reinterpret_cast<PxJpegSource*>(cinfo->src);
}

PxJpegDestination& DestinationOf(j_compress_ptr cinfo) {
    return *reinterpret_cast<PxJpegDestination*>(cinfo->dest);
}

[[noreturn]] void OnFatalError(j_common_ptr cinfo) {
    auto* error = reinterpret_cast<PxJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, error->message);
    std::longjmp(error->recovery, 1);
}

// Warnings change nothing in the picture, and the library never prints.
void OnMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr cinfo) {
    SourceOf(cinfo).atStart = true;
}

// Never suspends: past the end of the data the library gets a warning and an end
// marker, so a truncated file gives what it holds.
boolean FillInput(j_decompress_ptr cinfo) {
    PxJpegSource& source = SourceOf(cinfo);
    std::size_t got = source.stream->Read(source.buffer, 1, kPxJpegBufferSize);
    if (got == 0) {
        if (source.atStart) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        got = 2;
    }
    source.manager.next_input_byte = source.buffer;
    source.manager.bytes_in_buffer = got;
    source.atStart = false;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr& manager = SourceOf(cinfo).manager;
    while (static_cast<std::size_t>(count) > manager.bytes_in_buffer) {
        count -= static_cast<long>(manager.bytes_in_buffer);
        FillInput(cinfo);
    }
    manager.next_input_byte += count;
    manager.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr cinfo) {
    PxJpegDestination& destination = DestinationOf(cinfo);
    destination.manager.next_output_byte = destination.buffer;
    destination.manager.free_in_buffer = kPxJpegBufferSize;
}

boolean EmptyOutput(j_compress_ptr cinfo) {
    PxJpegDestination& destination = DestinationOf(cinfo);
    if (destination.stream->Write(destination.buffer, 1, kPxJpegBufferSize) != kPxJpegBufferSize)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    PxJpegDestination& destination = DestinationOf(cinfo);
    const std::size_t left = kPxJpegBufferSize - destination.manager.free_in_buffer;
    if (left > 0 && destination.stream->Write(destination.buffer, 1, left) != left)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    destination.stream->Flush();
    if (destination.stream->Error() != 0) ERREXIT(cinfo, JERR_FILE_WRITE);
}

void MonitorScans(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= kMaxScans) return;
    auto* error = reinterpret_cast<PxJpegError*>(cinfo->err);
    PxJpegFail(*error, "JPEG file has too many scans");
    std::longjmp(error->recovery, 1);
}

}  // namespace

jpeg_error_mgr* PxJpegErrorHook(PxJpegError& error) {
    jpeg_std_error(&error.manager);
    error.manager.error_exit = OnFatalError;
    error.manager.output_message = OnMessage;
    return &error.manager;
}

bool PxJpegFail(PxJpegError& error, const char* message) {
    std::snprintf(error.message, sizeof error.message, "%s", message ? message : "");
    return false;
}

void PxJpegReadFrom(j_decompress_ptr cinfo, PxJpegSource& source, PxFile* stream) {
    source.stream = stream;
    source.manager.init_source = InitSource;
    source.manager.fill_input_buffer = FillInput;
    source.manager.skip_input_data = SkipInput;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = TermSource;
    source.manager.next_input_byte = nullptr;
    source.manager.bytes_in_buffer = 0;
    cinfo->src = &source.manager;
}

void PxJpegWriteTo(j_compress_ptr cinfo, PxJpegDestination& destination, PxFile* stream) {
    destination.stream = stream;
    destination.manager.init_destination = InitDestination;
    destination.manager.empty_output_buffer = EmptyOutput;
    destination.manager.term_destination = TermDestination;
    cinfo->dest = &destination.manager;
}

void PxJpegLimitScans(j_decompress_ptr cinfo, jpeg_progress_mgr& progress) {
    progress.progress_monitor = MonitorScans;
    cinfo->progress = &progress;
}
