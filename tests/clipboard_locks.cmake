# Read by CTest once the test programs' cases are known. Every test of the
# suite draws on one virtual display, and so shares one X clipboard: the tests
# that put text there and read it back take turns with it (the screens' suites
# that do are locked in CMakeLists.txt, where they are declared).
set_tests_properties(ShownWindow.TheClipboardHoldsWhatWasCopied PROPERTIES RESOURCE_LOCK clipboard)
