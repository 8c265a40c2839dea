#include <framework/AppController.h>

int main(int argc, char** argv)
{
	return framework::runApplication(argc, argv);
}
