#include "app/app.h"
#include "models/vxm.h"

// The body is cut once into horizontal bands (feet, legs, torso, head) before its first upload, so
// that every triangle belongs to one armour piece and shades as one.
void App::splitPlayerModel() {
    if (playerMeshSplit) return;
    playerMesh = content::splitIntoBands(playerMesh);
    playerMeshSplit = true;
}
