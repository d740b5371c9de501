#include "engine/dx_wave_list.hpp"

#include "engine/dx_sound.hpp"

namespace vantorel {

TDXWaveList::TDXWaveList(TDXSound* sound) {
    SetDXSound(sound);
}

TDXWaveList::~TDXWaveList() {
    SetDXSound(nullptr);
}

void TDXWaveList::SetDXSound(TDXSound* sound) {
    if (sound == sound_)
        return;
    Finalize();
    if (sound_ != nullptr)
        sound_->RemoveListener(this);
    sound_ = sound;
    if (sound_ == nullptr)
        return;
    sound_->AddListener(this);
    if (sound_->Initialized()) {
        Initialize();
        Restore();
    }
}

void TDXWaveList::LoadLibraryFile(const std::string& fileName) {
    Finalize();
    items_.LoadLibraryFile(fileName);
    AfterRead();
}

void TDXWaveList::ReadLibraryBytes(std::span<const uint8_t> bytes) {
    Finalize();
    items_.ReadLibraryBytes(bytes);
    AfterRead();
}

void TDXWaveList::AfterRead() {
    if (sound_ != nullptr && sound_->Initialized()) {
        Initialize();
        Restore();
    }
}

void TDXWaveList::Initialize() {
    Finalize();
    if (sound_ == nullptr || !sound_->Initialized())
        return;
    entries_.reserve(static_cast<size_t>(items_.Count()));
    for (int32_t i = 0; i < items_.Count(); ++i) {
        TEntry entry{&items_.Items(i), std::make_unique<TWaveVoices>()};
        entry.Voices->Initialize(*sound_);
        entries_.push_back(std::move(entry));
    }
}

void TDXWaveList::Restore() {
    for (TEntry& entry : entries_)
        entry.Voices->Restore(*entry.Item);
}

void TDXWaveList::Finalize() {
    // Voices release their channels and recordings to the device as they go.
    entries_.clear();
}

TWaveVoices* TDXWaveList::VoicesFor(const TWaveCollectionItem& item) const {
    const auto index = static_cast<size_t>(item.Index());
    if (item.Index() < 0 || index >= entries_.size() || entries_[index].Item != &item)
        return nullptr;
    return entries_[index].Voices.get();
}

const TWaveVoices* TDXWaveList::VoicesOf(const TWaveCollectionItem& item) const {
    return VoicesFor(item);
}

void TDXWaveList::Play(const TWaveCollectionItem& item, bool wait) {
    if (TWaveVoices* voices = VoicesFor(item))
        voices->Play(item, wait);
}

void TDXWaveList::Stop(const TWaveCollectionItem& item) {
    if (TWaveVoices* voices = VoicesFor(item))
        voices->Stop();
}

void TDXWaveList::PlaySound(const std::string& name, bool soundOn) {
    if (!soundOn)
        return;
    TWaveCollectionItem& item = Find(name);
    Stop(item);
    Play(item);
}

void TDXWaveList::DXSoundNotify(TDXSound& sender, TDXSoundNotifyType type) {
    if (&sender != sound_)
        return;
    switch (type) {
    case TDXSoundNotifyType::Destroying:
        Finalize();
        sound_->RemoveListener(this);
        sound_ = nullptr;
        break;
    case TDXSoundNotifyType::Initialize:
        Initialize();
        break;
    case TDXSoundNotifyType::Finalize:
        Finalize();
        break;
    case TDXSoundNotifyType::Restore:
        Restore();
        break;
    case TDXSoundNotifyType::Initializing:
        break;
    }
}

} // namespace vantorel
