def main():
    d = {}
    for i in range(1, 2000001):
        d[str(i)] = i * 2
    t = 0
    for i in range(1, 2000001):
        t += d[str(i)]
    print(t)


main()
