def main():
    x = 0
    for i in range(1, 12000001):
        x += i % 7
        if x > 1000:
            x -= 1000
    print(x)


main()
