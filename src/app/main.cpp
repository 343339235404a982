#include "app/OrrelinMain.h"

int main(int argc, char** argv) { return orrelin::orrelinMain(argc, argv); }
