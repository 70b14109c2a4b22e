// Opening a plug-in library by path.
#include "plugin_catalog.h"

#include <dlfcn.h>

LoadedPlugin::LoadedPlugin(const PluginCase& c) {
  handle_ = dlopen(c.path, RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) return;
  getType_ = reinterpret_cast<ChannelType* (*)()>(dlsym(handle_, "GetType"));
  initDll_ = reinterpret_cast<Kvn_Channel* (*)()>(dlsym(handle_, "InitDLL"));
}

LoadedPlugin::~LoadedPlugin() {
  if (handle_ != nullptr) dlclose(handle_);
}
