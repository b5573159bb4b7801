// A plug-in library that can't be loaded: it needs a function nobody
// defines, so the loader refuses it when it binds the library.

extern "C" int HcTestFunctionNobodyDefines(int);

extern "C" int HcTestBrokenPlugInEntry(int value) { return HcTestFunctionNobodyDefines(value); }
