#include "tests/catalogue/EffectiveFixture.h"

#include "registry/hive/HiveStore.h"

#include <gtest/gtest.h>

namespace moxalo::testing {

using namespace registry;

namespace {

// The roots of a .reg file's store, named as regedit names them.
void rootsOfRegFile(RegistryStore& store, UserRoots& roots) {
    NodeId root = store.rootNode();
    if (NodeId user = store.findChild(root, "HKEY_CURRENT_USER"); user != kNoNode)
        roots.currentUser = {&store, user};
    if (NodeId machine = store.findChild(root, "HKEY_LOCAL_MACHINE"); machine != kNoNode)
        if (NodeId software = store.findChild(machine, "SOFTWARE"); software != kNoNode)
            roots.machineSoftware = {&store, software};
}

// Until the sources fill them in themselves: an NTUSER.DAT's or user.reg's root is the user's,
// a SOFTWARE hive's root or system.reg's Software the machine's. A UsrClass.dat's root is its
// classes only.
void findRoots(Registry& registry, bool wine) {
    if (registry.roots().currentUser || registry.roots().machineSoftware)
        return;
    UserRoots roots;
    roots.wine = wine;
    for (const auto& layer : registry.layers()) {
        RegistryStore& store = *layer.store;
        NodeId root = store.rootNode();
        if (store.findChild(root, "HKEY_CURRENT_USER") != kNoNode ||
            store.findChild(root, "HKEY_LOCAL_MACHINE") != kNoNode) {
            rootsOfRegFile(store, roots);
        } else if (layer.user && layer.key != root) {
            roots.currentUser = {&store, root};
        } else if (!layer.user) {
            NodeId software = store.findChild(root, "Software");
            roots.machineSoftware = {&store, software == kNoNode ? root : software};
        }
    }
    registry.setRoots(roots);
}

} // namespace

OpenedView openView(const std::vector<std::string>& paths, const std::string& sid, bool wine) {
    SourceChoice choice;
    choice.paths = paths;
    auto opened = openRegistry(choice);
    EXPECT_TRUE(opened) << (opened ? "" : opened.error());
    if (!opened)
        return {};
    findRoots(*opened->registry, wine);
    OpenedView result{opened->registry, nullptr};
    result.view = std::make_unique<catalogue::effective::UserView>(*result.registry, sid);
    return result;
}

OpenedView openUserHives(const std::string& usrClass, const std::string& ntuser) {
    std::vector<std::unique_ptr<RegistryStore>> stores;
    stores.push_back(hive::HiveStore::open(usrClass, "holder "));
    stores.push_back(hive::HiveStore::open(ntuser, "holder "));
    std::vector<ClassesLayer> layers{{stores[0].get(), stores[0]->rootNode(), true}};
    UserRoots roots;
    roots.currentUser = {stores[1].get(), stores[1]->rootNode()};
    auto registry = std::make_shared<Registry>(std::move(stores), layers);
    registry->setRoots(roots);
    OpenedView result{registry, nullptr};
    result.view = std::make_unique<catalogue::effective::UserView>(*registry);
    return result;
}

std::string writeRegFile(const TempDir& dir, const std::string& name, const std::string& body) {
    std::string path = dir.file(name);
    writeFile(path, "Windows Registry Editor Version 5.00\r\n\r\n" + body);
    return path;
}

} // namespace moxalo::testing
