# Read by ctest after the test programs have listed their tests. A test
# that plays in real time runs alone: the tests beside it would share its
# scheduling group and could starve its threads, which no user's machine
# does to a preview playing in the foreground.
set_tests_properties(E2eProjectTest.TenSecondsOfPreviewSoundReachTheSpeakersWithoutASeam
  PROPERTIES RUN_SERIAL TRUE)
