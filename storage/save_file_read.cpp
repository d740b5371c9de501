#include "storage/save_file_read.hpp"

namespace vantorel {

bool TSaveFileRead::KeepAsideIfReplaced(const std::filesystem::path& path, bool replacing) const {
    if (Status != TFileReadStatus::Read || !replacing)
        return true;
    return KeepAsideAsBad(path, Bytes);
}

} // namespace vantorel
