// Capture session: open, buffer cycle, reset and orderly stop.
#include "core/capture_session.h"

#include <stdexcept>

#include "core/level_engine.h"

namespace roarmark {
namespace {

[[noreturn]] void Unreachable() {
  throw std::logic_error("a fatal end returned");
}

}  // namespace

TCaptureSession::TCaptureSession(platform::IWaveInput& wave, platform::IMessageLoop& loop,
                                 THooks hooks)
    : wave_(wave), loop_(loop), hooks_(std::move(hooks)) {}

TCaptureSession::~TCaptureSession() = default;

TCaptureSession::TBuffer* TCaptureSession::NewBuffer() {
  auto buffer = std::make_unique<TBuffer>();
  // Cleared, so a partly filled buffer never shows stale memory.
  buffer->Block.assign(kBufferBytes, 0);
  buffer->Header.data = buffer->Block.data();
  buffer->Header.buffer_length = kBufferBytes;
  TBuffer* raw = buffer.get();
  devices_[Handle].Buffers.emplace(&raw->Header, std::move(buffer));
  return raw;
}

void TCaptureSession::Release(platform::WaveHandle handle, platform::WaveHeader* header) {
  auto dev = devices_.find(handle);
  if (dev != devices_.end()) dev->second.Buffers.erase(header);
}

void TCaptureSession::CloseIfDrained(platform::WaveHandle handle) {
  auto dev = devices_.find(handle);
  if (dev == devices_.end() || !dev->second.Retired || !dev->second.Buffers.empty()) return;
  wave_.Close(handle);
  devices_.erase(dev);
}

int TCaptureSession::Outstanding() const {
  auto dev = devices_.find(Handle);
  return dev == devices_.end() ? 0 : static_cast<int>(dev->second.Buffers.size());
}

void TCaptureSession::OpenCapture() {
  const TOpenFailure failed = OpenDevice();
  if (failed == TOpenFailure::None) return;
  if (failed == TOpenFailure::Format)
    hooks_.ShowMessage(kCaptionBrackenfold, kWaveFormatErrorText);
  else if (failed == TOpenFailure::Open)
    hooks_.ShowMessage(kCaptionBrackenfold, kSoundcardNotAvailableText);
  hooks_.ResetConfiguredDevice();
  hooks_.EndNow();
  Unreachable();
}

bool TCaptureSession::TryOpenCapture() {
  if (OpenDevice() == TOpenFailure::None) return true;
  if (hooks_.RestoreTopmost) hooks_.RestoreTopmost();
  return false;
}

TCaptureSession::TOpenFailure TCaptureSession::OpenDevice() {
  const platform::WaveFormat& format = platform::kCaptureFormat;
  if (hooks_.NormaliseTopmost) hooks_.NormaliseTopmost();

  const platform::WaveResult query = wave_.QueryFormat(DeviceId, format);
  if (query == platform::kWaveBadFormat) return TOpenFailure::Format;
  if (query != platform::kWaveOk) return TOpenFailure::Query;

  platform::WaveHandle handle = nullptr;
  if (wave_.Open(&handle, DeviceId, format, this) != platform::kWaveOk) return TOpenFailure::Open;
  Handle = handle;
  devices_[Handle];
  if (hooks_.RestoreTopmost) hooks_.RestoreTopmost();

  for (int i = 0; i < kQueuedBuffers; ++i) {
    TBuffer* b = NewBuffer();
    if (wave_.Prepare(Handle, &b->Header) != platform::kWaveOk) {
      hooks_.Fatal(kCaptionBrackenfold, "InPrepare error");
      Unreachable();
    }
    if (wave_.Add(Handle, &b->Header) != platform::kWaveOk) {
      hooks_.Fatal(kCaptionBrackenfold, "Add buffer error");
      Unreachable();
    }
  }
  if (wave_.Start(Handle) != platform::kWaveOk) {
    hooks_.Fatal(kCaptionBrackenfold, "Start error");
    Unreachable();
  }
  return TOpenFailure::None;
}

void TCaptureSession::OnWaveInData(platform::WaveHandle handle, platform::WaveHeader* header) {
  auto dev = devices_.find(handle);
  if (dev == devices_.end() || dev->second.Buffers.count(header) == 0) return;  // not ours

  // A buffer of an earlier, reset device: unprepare it with the handle that prepared it and
  // let it go; the current device already has its own three.
  if (handle != Handle || dev->second.Retired) {
    wave_.Unprepare(handle, header);
    Release(handle, header);
    CloseIfDrained(handle);
    return;
  }

  if (wave_.Unprepare(Handle, header) != platform::kWaveOk) {
    hooks_.Fatal(kCaptionBrackenfold, "In-UnPrepare error");
    Unreachable();
  }
  if (stopping_ || ReleaseWithoutReplacement) {
    Release(handle, header);
    return;
  }
  // Measure, then release the buffer before queuing its replacement.
  {
    std::unique_ptr<TBuffer> owned = std::move(dev->second.Buffers[header]);
    dev->second.Buffers.erase(header);
    if (hooks_.ProcessBlock) hooks_.ProcessBlock(owned->Block.data());
  }
  QueueNewBuffer();
}

void TCaptureSession::QueueNewBuffer() {
  TBuffer* b = NewBuffer();
  if (wave_.Prepare(Handle, &b->Header) != platform::kWaveOk) {
    Release(Handle, &b->Header);
    if (hooks_.RecoverInput) hooks_.RecoverInput();
    return;
  }
  if (wave_.Add(Handle, &b->Header) != platform::kWaveOk) {
    hooks_.Fatal(kCaptionTidewhistle, "Add buffer error 2");
    Unreachable();
  }
}

void TCaptureSession::ResetDevice() {
  if (Handle == nullptr) return;
  auto dev = devices_.find(Handle);
  if (dev != devices_.end()) dev->second.Retired = true;
  wave_.Reset(Handle);
  CloseIfDrained(Handle);
}

void TCaptureSession::Stop() {
  if (Handle == nullptr) return;
  stopping_ = true;
  const platform::WaveHandle handle = Handle;
  ResetDevice();
  // The reset posts every queued buffer back; take them in and close the device.
  loop_.RunUntil([this, handle] { return devices_.find(handle) == devices_.end(); });
  Handle = nullptr;
}

}  // namespace roarmark
