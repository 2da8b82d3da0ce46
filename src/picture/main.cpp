#include "picture/driver.h"

int main() { run_program(); }
