// The desktop's process-wide loaders fill the OpenGL 1.1 renderer that the
// shell holds in graphicEngine. Compiled into every program that links dm_gl.
#include "app/DesktopGlobals.h"
#include "app/Log.h"
#include "ge/gl/TextureLoader.h"

ge::XTextureStore& ge::ProcessTextureStore() {
    if (graphicEngine == nullptr) {
        LogError("Graphic Engine is not created", "GE");
    }
    static ZTextureStoreOpenGL store(*graphicEngine);
    store = ZTextureStoreOpenGL(*graphicEngine);
    return store;
}
