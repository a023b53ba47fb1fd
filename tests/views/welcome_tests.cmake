# Tests of the welcome dialog and pastel style.
