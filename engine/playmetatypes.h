#ifndef PLAYMETATYPES_H
#define PLAYMETATYPES_H

// Registers "PlayItemInfo", "PlayState" and "QList<QString>" for queued signals from the loading
// threads; call it before the first of them starts.
void registerPlayMetaTypes();

#endif
