# Tests of the submit command.
