// The browser's process-wide loaders fill the OpenGL ES 2.0 renderer that the
// shell holds in graphicEngine.
#include "app/Log.h"
#include "app/web/WebGlobals.h"
#include "ge/gles2/TextureStore.h"

ge::XTextureStore& ge::ProcessTextureStore() {
    if (graphicEngine == nullptr) {
        LogError("Graphic Engine is not created", "GE");
    }
    static ZTextureStoreGLES2 store(*graphicEngine);
    store = ZTextureStoreGLES2(*graphicEngine);
    return store;
}
