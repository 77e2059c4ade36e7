#include "support/content_pack.h"

#include <string>

namespace fs = std::filesystem;

namespace testsupport {

void copyContentPack(const fs::path& source, const fs::path& target) {
    fs::create_directories(target);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
        const fs::path to = target / fs::relative(entry.path(), source);
        if (entry.is_directory()) {
            fs::create_directories(to);
        } else if (!entry.path().filename().string().ends_with("_errors.txt")) {
            fs::copy_file(entry.path(), to);
        }
    }
}

}  // namespace testsupport
