#include "registry/Registry.h"

#include "registry/LayeredStore.h"

#include <algorithm>

namespace moxalo::registry {

Registry::Registry(std::vector<std::unique_ptr<RegistryStore>> stores,
                   std::vector<ClassesLayer> layers)
    : stores_(std::move(stores)) {
    std::stable_partition(layers.begin(), layers.end(),
                          [](const ClassesLayer& layer) { return layer.user; });
    layers_ = layers;
    if (layers.size() == 1) {
        // One layer needs no merging: the scan then runs straight on the store.
        view_ = layers[0].store;
        root_ = layers[0].key;
        return;
    }
    merged_ = std::make_unique<LayeredStore>(std::move(layers));
    view_ = merged_.get();
    root_ = merged_->rootNode();
}

Registry::~Registry() = default;

void Registry::setSources(SourceChoice choice, SourceStamps stamps) {
    choice_ = std::move(choice);
    stamps_ = std::move(stamps);
}

} // namespace moxalo::registry
