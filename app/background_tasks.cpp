#include "app/background_tasks.h"

#include <GLFW/glfw3.h>

double BackgroundTasks::now() const {
    return clock ? clock() : glfwGetTime();
}
